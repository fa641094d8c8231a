#include "watching/StillRun.h"

#include "watching/RunClock.h"

#include <cmath>

namespace
{
float LargestChange(const LumaSamples& from, const LumaSamples& to)
{
	float largest = 0.0f;
	for (std::size_t i = 0; i < to.count && i < from.count; ++i)
		largest = std::fmax(largest, std::fabs(to.values[i] - from.values[i]));
	return largest;
}
} // namespace

StillRun::Verdict StillRun::Advance(const LumaSamples& samples, bool black, float tolerance, std::int64_t nowNs)
{
	const float change = hasReference ? LargestChange(reference, samples) : 0.0f;
	if (!samples.readable || black)
	{
		hasReference = false;
		return Verdict{ false, change };
	}
	if (!hasReference || change > tolerance || samples.count != reference.count)
	{
		reference = samples;
		hasReference = true;
		referenceStart = nowNs;
		return Verdict{ false, change };
	}
	return Verdict{ SecondsBetween(referenceStart, nowNs) >= kRepeatGrace, change };
}
