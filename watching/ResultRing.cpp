#include "watching/ResultRing.h"

#include "watching/RunClock.h"

void ResultRing::Push(std::int64_t drawnNs)
{
	if (Empty())
		lastResult = drawnNs;
	drawnAt[Next()] = drawnNs;
	++count;
}

void ResultRing::Pop(std::int64_t nowNs)
{
	first = (first + 1) % kSlots;
	--count;
	lastResult = nowNs;
}

bool ResultRing::Overdue(std::int64_t nowNs) const
{
	return !Empty() && SecondsBetween(lastResult, nowNs) >= kLongestBlind;
}
