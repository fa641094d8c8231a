// StillRun: whether the picture has stopped changing, from one array of
// sample lumas per frame.
//
// A still run starts at a reference frame; every later frame is compared with
// the reference sample by sample. The first frame in which some sample differs
// from it by more than the tolerance ends the run and becomes the new
// reference. Comparing with the run's first frame, not with the frame before,
// keeps a slow pan from looking still: its changes add up until one shows.
//
// A frame counts as still only once its run has lasted kRepeatGrace: content
// at a lower frame rate than the host's repeats each picture for a few frames,
// and those repeats are moving picture, not a frozen one. So a run reported
// still has already lasted kRepeatGrace; a hold measured on the reported
// verdict should be that much shorter.
//
// Black belongs to the black rule: a frame it calls black is never still, and
// neither is a frame that could not be read. Both end the run and leave no
// reference.
#pragma once

#include "watching/SampleMeasure.h"

#include <cstdint>

class StillRun
{
public:
	static constexpr float kRepeatGrace = 0.25f; // seconds

	struct Verdict
	{
		bool still;   // the run has lasted kRepeatGrace without a change
		float change; // the largest sample difference from the reference; 0 without one
	};

	// One drawn frame at nowNs on the steady clock; black is the black rule's
	// verdict on it.
	Verdict Advance(const LumaSamples& samples, bool black, float tolerance, std::int64_t nowNs);

	bool HasReference() const { return hasReference; }
	std::int64_t ReferenceStart() const { return referenceStart; }

private:
	LumaSamples reference;
	bool hasReference = false;
	std::int64_t referenceStart = 0; // steady-clock nanoseconds
};
