// StillWatch: the still rule (StillRun) and the run it times, from one frame's
// samples and one clock reading.
//
// The hold counts from the run's reference frame: a run is reported still
// only after StillRun::kRepeatGrace, so its clock holds that much less. The
// watch is due once the hold is reached; whether that sends is the arming's
// business (Arming).
#pragma once

#include "watching/RunClock.h"
#include "watching/SampleMeasure.h"
#include "watching/StillRun.h"

#include <cstdint>

class StillWatch
{
public:
	struct Step
	{
		StillRun::Verdict verdict;
		bool due; // the still run has lasted the hold
	};

	// One drawn frame at nowNs on the steady clock; black is the black rule's
	// verdict on it, hold in seconds.
	Step Advance(const LumaSamples& samples, bool black, float tolerance, float hold, std::int64_t nowNs);

	const StillRun& Run() const { return run; }

private:
	StillRun run;
	RunClock still; // the run of frames reported still
};
