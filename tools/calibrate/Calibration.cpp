#include "tools/calibrate/Calibration.h"

#include "tools/Command.h"
#include "tools/run/ModuleWatches.h"
#include "tools/run/RunOptions.h"
#include "tools/run/RunPlot.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace ffgltool
{

Calibration Calibrate(const Recording& live, const Recording& dropout, double fps)
{
	Calibration result;
	result.guard = FindModuleWatch(kBlackGuardId)->Rules().front();
	result.threshold = SuggestThreshold(dropout.Summary().max, result.guard.thresholdAt);
	if (result.threshold)
		result.black.runs = live.DarkRuns(result.threshold->threshold);

	const std::vector<WatchRule> watch = FindModuleWatch(kWatchId)->Rules();
	result.still = watch.back();
	const float dark = result.Separates(fps, live.Frames()) ? result.threshold->threshold : watch.front().threshold;
	result.liveStill.runs = live.StillRuns(dark, result.still.threshold, fps);
	const FrameRun frozen = LiveRuns{ dropout.StillRuns(dark, result.still.threshold, fps) }.Longest();
	result.dropoutStill = frozen.first == 0 && frozen.frames == dropout.Frames();
	return result;
}

FrameRun LiveRuns::Longest() const
{
	FrameRun longest;
	for (const FrameRun& run : runs)
		if (run.frames > longest.frames)
			longest = run;
	return longest;
}

double LiveRuns::LongestSeconds(double fps) const
{
	return static_cast<double>(Longest().frames) / fps;
}

double LiveRuns::MinSafeHold(double fps) const
{
	if (runs.empty())
		return 0.0;
	return (std::floor(LongestSeconds(fps) * 100.0 + 1e-9) + 1.0) / 100.0;
}

bool LiveRuns::Holdable(double fps, std::size_t frames) const
{
	return Longest().frames < frames && MinSafeHold(fps) <= kMaxHold;
}

bool Calibration::Separates(double fps, std::size_t liveFrames) const
{
	return threshold && black.Holdable(fps, liveFrames);
}

bool Calibration::StillSeparates(double fps, std::size_t liveFrames) const
{
	return dropoutStill && liveStill.Holdable(fps, liveFrames);
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
	StartSvg(svg, kWidth, kHeight);
	char text[256];
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
