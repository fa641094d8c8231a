// SuggestedThreshold: the black rule's threshold slider ("Black Threshold")
// that `ffgl-host run` and `ffgl-host calibrate` advise for a picture that
// should count as black, and how a threshold reads on the slider.
//
// One rule for both: the lowest value the slider displays (its 0.1 % steps)
// that lies at least kMargin above the picture's brightest luma; the margin
// leaves room for a drop-out a little brighter than the one measured, and far
// exceeds the rounding between the printed slider value and the plug-in's
// single-precision threshold. The threshold is the plug-in's own, made from
// the slider value as printed by the plug-in's mapping, so the picture counts
// as black at it (brightest <= threshold).
#pragma once

#include <optional>
#include <string>

namespace ffgltool
{

struct SuggestedThreshold
{
	static constexpr float kMargin = 0.005f;

	double slider = 0.0;    // the host-side value, exact in six decimals
	float threshold = 0.0f; // the plug-in's working value, a luma fraction
	std::string display;    // what "Black Threshold" then displays, "6.0%"
};

// How a plug-in makes a rule's threshold, in working units, of a host-side
// 0..1 slider value.
using SliderMapping = float (*)(float slider);

// None when that step lies above the slider's top (mapping(1)).
std::optional<SuggestedThreshold> SuggestThreshold(float brightest, SliderMapping mapping);

// What "Black Threshold" displays at a threshold (a luma fraction): "3.5%";
// unclamped, for modules whose parameter of that name goes further.
std::string ThresholdDisplay(float threshold);

} // namespace ffgltool
