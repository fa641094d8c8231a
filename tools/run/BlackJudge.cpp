#include "tools/run/BlackJudge.h"

#include "guard/GuardParameters.h"
#include "tools/run/RunOptions.h"
#include "watching/GLPixelReader.h"
#include "watching/SampleMeasure.h"

namespace ffgltool
{

bool OutputIsBlack(int width, int height, float threshold)
{
	SampleMeasure measure;
	measure.SetViewport({ 0, 0, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height) });
	LumaSamples samples;
	measure.Read(GLPixelReader(), samples);
	return BrightestLuma(samples) <= threshold;
}

float BlackThreshold(const std::vector<std::string>& names, const std::vector<std::string>& displays)
{
	for (std::size_t i = 0; i < names.size(); ++i)
	{
		const std::string& text = displays[i];
		double percent = 0.0;
		if (names[i] == GuardParameters::Name(GuardParameters::kBlackThreshold) && text.size() > 1 &&
			text.back() == '%' && ParseReal(text.substr(0, text.size() - 1), percent))
			return static_cast<float>(percent / 100.0);
	}
	return GuardParameters::kDefaultBlackThreshold;
}

} // namespace ffgltool
