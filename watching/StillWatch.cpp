#include "watching/StillWatch.h"

#include <algorithm>

StillWatch::Step StillWatch::Advance(
	const LumaSamples& samples, bool black, float tolerance, float hold, std::int64_t nowNs)
{
	const StillRun::Verdict verdict = run.Advance(samples, black, tolerance, nowNs);
	const float stillHold = std::max(hold - StillRun::kRepeatGrace, 0.0f);
	return Step{ verdict, still.Advance(verdict.still, nowNs, stillHold) };
}
