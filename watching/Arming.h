// Arming: one next-clip message per drop-out, whichever watched condition
// shows it.
//
// Each frame tells it whether some rule sees a drop-out in it and whether some
// rule's run has lasted that rule's hold. An armed watch that is due sends and
// disarms; it re-arms only when a run of frames without a drop-out has lasted
// the recovery. So a drop-out that one rule sees first and another rule goes on
// seeing sends once.
#pragma once

#include "watching/RunClock.h"

#include <cstdint>

class Arming
{
public:
	// One drawn frame at nowNs; recovery in seconds. True when the message must
	// be sent for this frame.
	bool Advance(bool dropOut, bool due, std::int64_t nowNs, float recovery);

	bool Armed() const { return armed; }
	// The run of frames without a drop-out.
	const RunClock& Recovery() const { return clear; }

private:
	RunClock clear;
	bool armed = true;
};
