// FlatDarkWarning: the black rule's warning in `ffgl-host run` when the drawn
// picture sits flat and dark just above the threshold for longer than the
// hold (every sample within 3 levels of the others, the brightest below
// 12 %): the signature of limited-range black and of capture cards' blue
// no-signal screens. It names the threshold that would count the picture as
// black, as SuggestedThreshold advises it.
#pragma once

#include "tools/run/SuggestedThreshold.h"
#include "watching/SampleMeasure.h"

#include <optional>
#include <string>

namespace ffgltool
{

class FlatDarkWarning
{
public:
	// The black rule as the module has it: its threshold slider's name and
	// mapping, the threshold (a luma fraction) and the hold (seconds) set.
	struct Rule
	{
		const char* slider;
		SliderMapping mapping;
		float threshold;
		float hold;
	};

	// One judged frame at seconds since the first; caught: the black rule, or
	// another of the module's rules, sees a drop-out in it.
	void Frame(const LumaSamples& samples, bool caught, double seconds, const Rule& rule);

	// Once, the first time the picture has sat flat and dark for longer than
	// the hold: the warning text; empty otherwise.
	std::string Take();

private:
	std::optional<double> flatSince;
	bool warned = false;
	std::string warning;
};

} // namespace ffgltool
