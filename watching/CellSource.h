// CellSource: where a watcher's cell values come from, frames after the
// frame they measure: the GPU (CellReadback), or a stand-in in tests.
//
// Each frame in flight has a slot of a ResultRing; the source keeps whatever
// it needs per slot. Start is called for a free slot, then Ready (or Wait)
// and Take for the same slot, in the ring's order.
#pragma once

#include "host/FFGLRecords.h"
#include "watching/CellGrid.h"

#include <cstddef>

class CellSource
{
public:
	virtual ~CellSource() = default;

	// Queues measuring input's picture into slot; false when it cannot be
	// measured (an empty picture), and nothing is then in flight.
	virtual bool Start(const FFGLTextureStructTag& input, std::size_t slot) = 0;
	// Whether slot's values can be taken without waiting.
	virtual bool Ready(std::size_t slot) = 0;
	// Waits until slot's values can be taken.
	virtual void Wait(std::size_t slot) = 0;
	// slot's values into out; the slot is free again.
	virtual void Take(std::size_t slot, CellValues& out) = 0;
};
