#include "watching/ResultRing.h"

#include "watching/RunClock.h"

void ResultRing::Push(std::int64_t drawnNs)
{
	drawnAt[Next()] = drawnNs;
	++count;
}

void ResultRing::Pop()
{
	first = (first + 1) % kSlots;
	--count;
}

bool ResultRing::Overdue(std::int64_t nowNs) const
{
	return !Empty() && SecondsBetween(OldestDrawnAt(), nowNs) >= kLongestBlind;
}
