#include "watching/BlackWatch.h"

BlackWatch::Verdict BlackWatch::Judge(const LumaSamples& samples, float threshold)
{
	const float brightest = BrightestLuma(samples);
	return Verdict{ brightest, samples.readable && brightest <= threshold };
}

BlackWatch::Step BlackWatch::Advance(const LumaSamples& samples, float threshold, float hold, std::int64_t nowNs)
{
	const Verdict verdict = Judge(samples, threshold);
	return Step{ verdict, run.Advance(verdict.black, nowNs, hold) };
}
