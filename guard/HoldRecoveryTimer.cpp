#include "guard/HoldRecoveryTimer.h"

#include <chrono>
#include <limits>

// The readings come from the steady clock, but a bad one must not be undefined
// behaviour.
float SecondsBetween(std::int64_t earlier, std::int64_t later)
{
	constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
	constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
	std::int64_t difference;
	if (earlier > 0 && later < kMin + earlier)
		difference = kMin;
	else if (earlier < 0 && later > kMax + earlier)
		difference = kMax;
	else
		difference = later - earlier;
	return static_cast<float>(difference) / 1e9f;
}

std::int64_t SteadyClockNs()
{
	const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
	return std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count();
}

bool HoldRecoveryTimer::Advance(bool frameIsBlack, std::int64_t nowNs, float blackHold, float recovery)
{
	if (!frameIsBlack)
	{
		blackTimingStarted = false;
		if (!clearTimingStarted)
		{
			clearStart = nowNs;
			clearTimingStarted = true;
		}
		if (SecondsBetween(clearStart, nowNs) >= recovery)
			armed = true;
		return false;
	}

	clearTimingStarted = false;
	if (!blackTimingStarted)
	{
		blackStart = nowNs;
		blackTimingStarted = true;
	}
	// Only an armed run is timed against the hold: one message per run.
	if (!armed || SecondsBetween(blackStart, nowNs) < blackHold)
		return false;
	armed = false;
	return true;
}
