#include "tools/run/BlackJudge.h"

#include "ffglex/FFGLGL.h"
#include "tools/run/RunOptions.h"

#include <algorithm>

namespace ffgltool
{
namespace
{

// The guard's default threshold: 3.5 % luma.
constexpr float kDefaultBlackThreshold = 0.035f;

} // namespace

bool OutputIsBlack(int width, int height, float threshold)
{
	static const float kGrid[5] = { 0.1f, 0.3f, 0.5f, 0.7f, 0.9f };
	const float scaleX = width >= 2 ? static_cast<float>(width - 1) : 1.0f;
	const float scaleY = height >= 2 ? static_cast<float>(height - 1) : 1.0f;
	float brightest = 0.0f;
	for (float fy : kGrid)
		for (float fx : kGrid)
		{
			GLubyte pixel[4] = { 255, 255, 255, 255 };
			glReadPixels(static_cast<GLint>(fx * scaleX), static_cast<GLint>(fy * scaleY), 1, 1, GL_RGBA,
				GL_UNSIGNED_BYTE, pixel);
			const float luma = (0.2126f * pixel[0] + 0.7152f * pixel[1] + 0.0722f * pixel[2]) / 255.0f;
			brightest = std::max(brightest, luma);
		}
	return brightest <= threshold;
}

float BlackThreshold(const std::vector<std::string>& names, const std::vector<std::string>& displays)
{
	for (std::size_t i = 0; i < names.size(); ++i)
	{
		const std::string& text = displays[i];
		double percent = 0.0;
		if (names[i] == "Black Threshold" && text.size() > 1 && text.back() == '%' &&
			ParseReal(text.substr(0, text.size() - 1), percent))
			return static_cast<float>(percent / 100.0);
	}
	return kDefaultBlackThreshold;
}

} // namespace ffgltool
