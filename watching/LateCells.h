// LateCells: a watcher's cell values judged frames after their frame was
// drawn, each with its own frame's clock reading, so holds and recoveries
// time the picture, not the GPU's delay.
//
// Each frame first judges every result that has come back, oldest first, then
// queues its own measure. A frame whose result has not come back is simply
// not judged yet; one that found the ring full is never judged, like a frame
// without input, so it neither starts nor ends a run. When no result has come
// back for ResultRing::kLongestBlind, the frame waits for the oldest one: a
// GPU that stalls cannot leave the watcher blind.
#pragma once

#include "watching/CellSource.h"
#include "watching/ResultRing.h"

#include <cstdint>

class LateCells
{
public:
	explicit LateCells(CellSource& source) : source(source) {}

	// One drawn frame of input at nowNs on the steady clock; judge(values,
	// drawnNs) is called for each result that comes back.
	template <class Judge>
	void Frame(const FFGLTextureStructTag& input, std::int64_t nowNs, Judge&& judge)
	{
		bool waited = false;
		while (!ring.Empty())
		{
			const std::size_t slot = ring.Oldest();
			if (!source.Ready(slot))
			{
				if (waited || !ring.Overdue(nowNs))
					break;
				source.Wait(slot);
				waited = true;
			}
			source.Take(slot, values);
			const std::int64_t drawnNs = ring.OldestDrawnAt();
			ring.Pop(nowNs);
			judge(static_cast<const CellValues&>(values), drawnNs);
		}
		if (!ring.Full() && source.Start(input, ring.Next()))
			ring.Push(nowNs);
	}

	// Forgets every frame in flight (the source's objects are released).
	void Reset() { ring.Clear(); }

private:
	CellSource& source;
	ResultRing ring;
	CellValues values;
};
