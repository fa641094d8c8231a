#include "still/StillWatch.h"

#include <algorithm>

StillWatch::Step StillWatch::Advance(const LumaSamples& samples, const StillParameters& parameters, std::int64_t nowNs)
{
	const StillRun::Verdict verdict = run.Advance(samples, parameters.StillTolerance(), nowNs);
	const float hold = std::max(parameters.StillHold() - StillRun::kRepeatGrace, 0.0f);
	return Step{ verdict, timing.Advance(verdict.still, nowNs, hold, parameters.Recovery()) };
}
