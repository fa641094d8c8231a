#include "tools/calibrate/Calibration.h"

#include "tools/chart/SvgChart.h"
#include "tools/run/ModuleWatches.h"

#include <cmath>
#include <tuple>

namespace ffgltool
{

Calibration Calibrate(const Recording& live, const Recording& dropout, double fps, const std::string& blackOf)
{
	Calibration result;
	result.blackRule = FindModuleWatch(blackOf)->Rules().front();
	result.threshold = SuggestThreshold(dropout.Summary().max, result.blackRule.thresholdAt);
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
	Chart chart;
	chart.seconds = static_cast<double>(live.Frames() + dropout.Frames()) / fps;
	ChartPanel panel;
	panel.title = result.blackRule.measure == "brightest_cell" ? "brightest cell per frame: live, then drop-out"
																 : "brightest luma per frame: live, then drop-out";
	std::size_t frame = 0;
	for (const auto& [recording, name, colour] :
		{ std::tuple(&live, "live", "#1f5fbf"), std::tuple(&dropout, "drop-out", "#d0302a") })
	{
		ChartSeries series{ name, colour, {} };
		for (float luma : recording->brightest)
			series.points.push_back({ static_cast<double>(frame++) / fps, luma });
		panel.series.push_back(std::move(series));
	}
	if (result.threshold)
	{
		panel.threshold = result.threshold->threshold;
		panel.thresholdLabel = "threshold " + result.threshold->display;
	}
	chart.panels.push_back(std::move(panel));
	WriteSvgChart(path, chart);
}

} // namespace ffgltool
