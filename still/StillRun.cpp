#include "still/StillRun.h"

#include "guard/HoldRecoveryTimer.h"

#include <cmath>

namespace
{
bool AllDark(const LumaSamples& samples)
{
	for (std::size_t i = 0; i < samples.count; ++i)
		if (samples.values[i] > StillRun::kDarkLuma)
			return false;
	return true;
}

float LargestChange(const LumaSamples& from, const LumaSamples& to)
{
	float largest = 0.0f;
	for (std::size_t i = 0; i < to.count && i < from.count; ++i)
		largest = std::fmax(largest, std::fabs(to.values[i] - from.values[i]));
	return largest;
}
} // namespace

StillRun::Verdict StillRun::Advance(const LumaSamples& samples, float tolerance, std::int64_t nowNs)
{
	const float change = hasReference ? LargestChange(reference, samples) : 0.0f;
	if (!samples.readable || AllDark(samples))
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
