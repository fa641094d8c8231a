// DropOutWatch: the Watch's verdict on one frame's cells and clock reading:
// the black rule (BlackWatch) and the still rule (StillWatch) behind one
// arming (Arming).
//
// Each rule times its own run against its own hold; the first to reach it
// sends the one message of the drop-out, and the Watch re-arms only after the
// recovery time of picture that is neither black nor still. A frame the black
// rule calls black is never still, so black is always the black rule's.
#pragma once

#include "watch/WatchParameters.h"
#include "watching/Arming.h"
#include "watching/BlackWatch.h"
#include "watching/CellGrid.h"
#include "watching/StillWatch.h"

#include <cstdint>

class DropOutWatch
{
public:
	struct Step
	{
		BlackWatch::Step black;
		StillWatch::Step still;
		bool send; // the next-clip message must go for this frame
	};

	// One drawn frame's cells at nowNs on the steady clock: the black rule
	// judges their means, the still rule their centre pixels.
	Step Advance(const CellValues& cells, const WatchParameters& parameters, std::int64_t nowNs);

	const BlackWatch& Black() const { return black; }
	const StillWatch& Still() const { return still; }
	const Arming& Arms() const { return arming; }

private:
	BlackWatch black;
	StillWatch still;
	Arming arming;
};
