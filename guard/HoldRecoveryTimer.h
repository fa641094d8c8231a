// HoldRecoveryTimer: turns one verdict per drawn frame into at most one
// next-clip message per run.
//
// Fed the frame's verdict ("black": the condition being watched) and one
// steady-clock reading in nanoseconds. When an armed black run has lasted the
// hold without a single other frame, Advance answers true once and the timer
// disarms; it re-arms only when a run of other frames has lasted the recovery.
// Frames that were not drawn are simply not fed: the gap counts towards the
// run it interrupts. Holds no clock of its own, so tests pass their readings.
#pragma once

#include <cstdint>

// The monotonic clock a plug-in feeds the timer from, read once per drawn
// frame, in nanoseconds.
std::int64_t SteadyClockNs();

// later - earlier in seconds, single precision; saturates instead of
// overflowing for readings far apart.
float SecondsBetween(std::int64_t earlier, std::int64_t later);

class HoldRecoveryTimer
{
public:
	// One frame at nowNs. blackHold and recovery are in seconds. True when the
	// message must be sent for this frame.
	bool Advance(bool frameIsBlack, std::int64_t nowNs, float blackHold, float recovery);

	bool Armed() const { return armed; }
	bool BlackTimingStarted() const { return blackTimingStarted; }
	bool ClearTimingStarted() const { return clearTimingStarted; }
	std::int64_t BlackStart() const { return blackStart; }
	std::int64_t ClearStart() const { return clearStart; }

private:
	bool blackTimingStarted = false;
	bool clearTimingStarted = false;
	bool armed = true;
	std::int64_t blackStart = 0; // steady-clock nanoseconds
	std::int64_t clearStart = 0; // steady-clock nanoseconds
};
