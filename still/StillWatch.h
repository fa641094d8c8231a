// StillWatch: one frame's samples and clock reading in, "send now" out. The
// still run (StillRun) judges the picture; the hold and recovery timer
// (HoldRecoveryTimer) turns the verdicts into at most one message per run.
//
// "Still Hold" counts from the run's reference frame: the run is reported
// still only after StillRun::kRepeatGrace, so the timer holds that much less.
#pragma once

#include "guard/HoldRecoveryTimer.h"
#include "guard/SampleMeasure.h"
#include "still/StillParameters.h"
#include "still/StillRun.h"

#include <cstdint>

class StillWatch
{
public:
	struct Step
	{
		StillRun::Verdict verdict;
		bool send;
	};

	Step Advance(const LumaSamples& samples, const StillParameters& parameters, std::int64_t nowNs);

	const StillRun& Run() const { return run; }
	const HoldRecoveryTimer& Timing() const { return timing; }

private:
	StillRun run;
	HoldRecoveryTimer timing;
};
