// RunClock: how long a run of a watched condition (a black picture, a still
// one, a picture that is neither) has lasted, from one steady-clock reading per
// drawn frame.
//
// A run starts at the first frame in which the condition holds and ends at the
// first frame in which it does not. Frames that were not drawn are simply not
// fed: the gap counts towards the run it interrupts. Holds no clock of its
// own, so tests pass their readings.
#pragma once

#include <cstdint>

// The monotonic clock a plug-in times its runs on, read once per drawn frame,
// in nanoseconds.
std::int64_t SteadyClockNs();

// later - earlier in seconds, single precision; saturates instead of
// overflowing for readings far apart.
float SecondsBetween(std::int64_t earlier, std::int64_t later);

class RunClock
{
public:
	// One drawn frame at nowNs. True when the condition holds and its run has
	// lasted at least hold seconds (false when either side is NaN).
	bool Advance(bool condition, std::int64_t nowNs, float hold);

	bool Started() const { return started; }
	std::int64_t Start() const { return start; }

private:
	bool started = false;
	std::int64_t start = 0; // steady-clock nanoseconds of the run's first frame
};
