#include "tools/run/SuggestedThreshold.h"

#include "tools/run/RunOptions.h"

#include <cmath>
#include <cstdio>

namespace ffgltool
{
namespace
{

constexpr double kStepsPerUnit = 1000.0; // the display's 0.1 % steps

} // namespace

std::optional<SuggestedThreshold> SuggestThreshold(float brightest, SliderMapping mapping)
{
	const double top = mapping(1.0f);
	// The small allowance keeps a level that lands on a step from being pushed
	// one step further by rounding.
	const double steps =
		std::ceil((static_cast<double>(brightest) + SuggestedThreshold::kMargin) * kStepsPerUnit - 1e-3);
	if (steps > top * kStepsPerUnit)
		return std::nullopt;

	// Through the text printed for --set, as a host reads it.
	char text[16];
	std::snprintf(text, sizeof text, "%.6f", steps / kStepsPerUnit / top);
	SuggestedThreshold suggestion;
	ParseReal(text, suggestion.slider);
	suggestion.threshold = mapping(static_cast<float>(suggestion.slider));
	suggestion.display = ThresholdDisplay(suggestion.threshold);
	return suggestion;
}

std::string ThresholdDisplay(float threshold)
{
	// The slider's display row: "%.1f%%" of the working value times 100, in
	// single precision.
	char text[32];
	std::snprintf(text, sizeof text, "%.1f%%", static_cast<double>(threshold * 100.0f));
	return text;
}

} // namespace ffgltool
