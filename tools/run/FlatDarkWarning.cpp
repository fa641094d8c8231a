#include "tools/run/FlatDarkWarning.h"

#include <cmath>
#include <cstdio>

namespace ffgltool
{
namespace
{

constexpr float kFlatSpread = 3.0f / 255.0f;
constexpr float kFlatDarkest = 0.12f;

bool IsFlat(const LumaSamples& samples)
{
	float low = 1.0f;
	float high = 0.0f;
	for (std::size_t i = 0; i < samples.count; ++i)
	{
		low = std::fmin(low, samples.values[i]);
		high = std::fmax(high, samples.values[i]);
	}
	return samples.count != 0 && high - low <= kFlatSpread;
}

} // namespace

void FlatDarkWarning::Frame(const LumaSamples& samples, bool caught, double seconds, const Rule& rule)
{
	const float brightest = BrightestLuma(samples);
	const bool flatDark = !caught && brightest < kFlatDarkest && IsFlat(samples);
	if (!flatDark)
		flatSince.reset();
	else if (!flatSince)
		flatSince = seconds;
	if (!flatDark || warned || seconds - *flatSince <= rule.hold)
		return;
	warned = true;
	// Flat and dark stays below 12 %: a suggestion exists on any slider that
	// reaches 12.5 %.
	const std::optional<SuggestedThreshold> suggestion = SuggestThreshold(brightest, rule.mapping);
	if (!suggestion)
		return;
	char text[400];
	std::snprintf(text, sizeof text,
		"the picture sat flat and dark at %.1f %% luma for longer than the hold, just above the threshold "
		"of %s: a \"%s\" of %s (--set \"%s=%.6f\") would count it as "
		"black. Limited-range black shown without range expansion (16/255, 6.3 %%) and capture cards' blue "
		"no-signal screens look like this",
		static_cast<double>(brightest) * 100.0, ThresholdDisplay(rule.threshold).c_str(), rule.slider,
		suggestion->display.c_str(), rule.slider, suggestion->slider);
	warning = text;
}

std::string FlatDarkWarning::Take()
{
	std::string taken;
	taken.swap(warning);
	return taken;
}

} // namespace ffgltool
