#include "tools/calibrate/Calibration.h"

#include "tools/Command.h"
#include "tools/run/RunOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace ffgltool
{

Calibration Calibrate(const Recording& live, const Recording& dropout)
{
	Calibration result;
	result.threshold = SuggestThreshold(dropout.Summary().max);
	if (result.threshold)
		result.liveRuns = live.DarkRuns(result.threshold->threshold);
	return result;
}

DarkRun Calibration::Longest() const
{
	DarkRun longest;
	for (const DarkRun& run : liveRuns)
		if (run.frames > longest.frames)
			longest = run;
	return longest;
}

double Calibration::LongestSeconds(double fps) const
{
	return static_cast<double>(Longest().frames) / fps;
}

double Calibration::MinSafeHold(double fps) const
{
	if (liveRuns.empty())
		return 0.0;
	return (std::floor(LongestSeconds(fps) * 100.0 + 1e-9) + 1.0) / 100.0;
}

bool Calibration::Separates(double fps, std::size_t liveFrames) const
{
	if (!threshold)
		return false;
	const DarkRun longest = Longest();
	return longest.frames < liveFrames && MinSafeHold(fps) <= kMaxHold;
}

void WriteCalibrationPlot(
	const std::string& path, const Recording& live, const Recording& dropout, const Calibration& result, double fps)
{
	constexpr double kWidth = 900.0;
	constexpr double kHeight = 320.0;
	constexpr double kLeft = 50.0;
	constexpr double kBottom = 290.0;
	constexpr double kTop = 20.0;
	const double seconds = static_cast<double>(live.brightest.size() + dropout.brightest.size()) / fps;
	const double xScale = (kWidth - kLeft - 10.0) / std::max(seconds, 1e-9);
	const auto y = [&](double luma) { return kBottom - luma * (kBottom - kTop); };

	std::ofstream svg(path);
	char text[256];
	std::snprintf(text, sizeof text,
		"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" font-family=\"sans-serif\" "
		"font-size=\"12\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
		kWidth, kHeight);
	svg << text;
	svg << "<text x=\"" << kLeft << "\" y=\"14\">brightest luma per frame: live (blue), then drop-out (red)</text>\n";
	std::snprintf(text, sizeof text,
		"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"black\"/><text x=\"4\" y=\"%.1f\">0 %%</text>"
		"<text x=\"4\" y=\"%.1f\">100 %%</text>\n",
		kLeft, kBottom, kWidth - 10.0, kBottom, kBottom, kTop + 4.0);
	svg << text;
	double t = 0.0;
	for (const Recording* recording : { &live, &dropout })
	{
		svg << "<polyline fill=\"none\" stroke=\"" << (recording == &live ? "blue" : "red") << "\" points=\"";
		for (float luma : recording->brightest)
		{
			std::snprintf(text, sizeof text, "%.1f,%.1f ", kLeft + t * xScale, y(luma));
			svg << text;
			t += 1.0 / fps;
		}
		svg << "\"/>\n";
	}
	if (result.threshold)
	{
		const double at = y(result.threshold->threshold);
		std::snprintf(text, sizeof text,
			"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"green\" stroke-dasharray=\"6 3\"/>"
			"<text x=\"%.1f\" y=\"%.1f\" fill=\"green\">threshold %s</text>\n",
			kLeft, at, kWidth - 10.0, at, kLeft + 4.0, at - 4.0, result.threshold->display.c_str());
		svg << text;
	}
	svg << "</svg>\n";
	if (!svg)
		throw RunError(kExitRunError, "cannot write the plot " + path + ": " + std::strerror(errno));
}

} // namespace ffgltool
