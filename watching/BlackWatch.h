// BlackWatch: the black rule and the run it times, from one frame's samples
// and one clock reading.
//
// A frame is black when its brightest sample has a luma at or below the
// threshold. A frame with a sample that could not be read is never black: a
// picture nobody can see is not taken for a dark one. The watch is due once a
// run of black frames has lasted the hold; whether that sends is the arming's
// business (Arming).
#pragma once

#include "watching/RunClock.h"
#include "watching/SampleMeasure.h"

#include <cstdint>

class BlackWatch
{
public:
	struct Verdict
	{
		float brightest; // the brightest sample's luma
		bool black;
	};
	struct Step
	{
		Verdict verdict;
		bool due; // the black run has lasted the hold
	};

	// The black rule on its own.
	static Verdict Judge(const LumaSamples& samples, float threshold);

	// One drawn frame at nowNs on the steady clock; hold in seconds.
	Step Advance(const LumaSamples& samples, float threshold, float hold, std::int64_t nowNs);

	const RunClock& Run() const { return run; }

private:
	RunClock run;
};
