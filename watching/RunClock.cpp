#include "watching/RunClock.h"

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

bool RunClock::Advance(bool condition, std::int64_t nowNs, float hold)
{
	if (!condition)
	{
		started = false;
		return false;
	}
	if (!started)
	{
		start = nowNs;
		started = true;
	}
	return SecondsBetween(start, nowNs) >= hold;
}
