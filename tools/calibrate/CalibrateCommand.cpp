#include "tools/calibrate/CalibrateCommand.h"

#include "tools/Command.h"
#include "tools/CommandLine.h"
#include "tools/calibrate/Calibration.h"
#include "tools/calibrate/Recording.h"
#include "tools/run/ModuleWatches.h"
#include "tools/run/RunOptions.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <ostream>

namespace ffgltool
{
namespace
{

const char kCalibrateHelp[] =
	"usage: ffgl-host calibrate --live FILE --dropout FILE --size WxH [--fps N]\n"
	"                           [--watch] [--hold S] [--json] [--plot FILE.svg]\n"
	"                           [--trace FILE.csv]\n"
	"\n"
	"Finds the black guard's (or with --watch the Watch's) \"Black Threshold\" and\n"
	"the shortest safe \"Black Hold\" for a source, from two raw RGBA recordings\n"
	"of it at the size the host shows it: some seconds of live picture, including its darkest moments, and some\n"
	"seconds of the drop-out (camera unplugged, lens capped, the capture card's\n"
	"no-signal screen). Each frame is measured as the plug-in measures it. Either\n"
	"FILE may be a pipe, e.g. <(ffmpeg -loglevel error -i live.mp4 -f rawvideo\n"
	"-pix_fmt rgba -s 640x360 -).\n"
	"\n"
	"For the Watch's still rule, at its default \"Still Tolerance\", it also finds\n"
	"the live picture's longest still run and the shortest safe \"Still Hold\"; a\n"
	"drop-out that stays still (a frozen picture, a no-signal screen) is the still\n"
	"rule's to catch.\n"
	"\n"
	"  --fps N          the recordings' frame rate (default 30)\n"
	"  --watch          for Tenebrixor Watch: the black rule judges the brightest of\n"
	"                   its cells' means, not the black guard's 25 grid points\n"
	"  --hold S         also say whether a \"Black Hold\" of S seconds is safe\n"
	"  --json           the result as one JSON object\n"
	"  --plot FILE.svg  both recordings' brightest luma (--watch: cell) against\n"
	"                   time, and the threshold\n"
	"  --trace FILE.csv one line a frame: recording,frame,brightest_luma (--watch:\n"
	"                   recording,frame,brightest_cell)\n"
	"\n"
	"Exit status: 0 a threshold and a hold of at most 10 s separate the recordings,\n"
	"or the drop-out is still and a \"Still Hold\" of at most 10 s rides over the\n"
	"live picture's still runs; 1 neither does, 2 wrong usage, 4 a recording cannot\n"
	"be read or holds no whole frames.\n";

struct CalibrateOptions
{
	std::string live;
	std::string dropout;
	int width = 0;
	int height = 0;
	double fps = 30.0;
	double hold = -1.0; // < 0: not asked
	bool watch = false;
	bool json = false;
	std::string plotPath;
	std::string tracePath;
};

std::optional<int> Read(
	const std::vector<std::string>& args, CalibrateOptions& options, std::ostream& out, std::ostream& err)
{
	CommandLine line("calibrate", kCalibrateHelp);
	line.Text("--live", options.live, CommandLine::Required);
	line.Text("--dropout", options.dropout, CommandLine::Required);
	AddSizeOption(line, options.width, options.height, CommandLine::Required);
	AddFpsOption(line, options.fps);
	line.Checked("--hold", "seconds from 0 to 10",
		[&options](const std::string& value)
		{ return ParseReal(value, options.hold) && options.hold >= 0.0 && options.hold <= 10.0; });
	line.Flag("--watch", options.watch);
	line.Flag("--json", options.json);
	line.Text("--plot", options.plotPath);
	line.Text("--trace", options.tracePath);
	return line.Read(args, out, err);
}

std::string Percent(float fraction)
{
	char text[32];
	std::snprintf(text, sizeof text, "%.1f %%", static_cast<double>(fraction) * 100.0);
	return text;
}

void PrintRecording(
	std::ostream& out, const char* label, const Recording& recording, const WatchRule& black, double fps)
{
	const LumaSummary s = recording.Summary();
	char line[256];
	std::snprintf(line, sizeof line, "%-14s%zu frames, %.2f s: brightest %s min %s, median %s, 99th %s, max %s\n",
		label, recording.Frames(), static_cast<double>(recording.Frames()) / fps,
		black.measure == "brightest_cell" ? "cell" : "luma", Percent(s.min).c_str(),
		Percent(s.median).c_str(), Percent(s.p99).c_str(), Percent(s.max).c_str());
	out << line;
}

// "Live black    2 runs at that threshold, the longest 0.50 s (frames 120 to 134)"
void PrintRuns(std::ostream& out, const char* label, const LiveRuns& live, const std::string& at, double fps)
{
	char line[512];
	const FrameRun longest = live.Longest();
	if (live.runs.empty())
		std::snprintf(line, sizeof line, "%-14snone %s\n", label, at.c_str());
	else
		std::snprintf(line, sizeof line, "%-14s%zu run%s %s, the longest %.2f s (frames %zu to %zu)\n", label,
			live.runs.size(), live.runs.size() == 1 ? "" : "s", at.c_str(), live.LongestSeconds(fps), longest.first,
			longest.first + longest.frames - 1);
	out << line;
}

// The shortest safe hold for one rule, or why there is none: some live run
// stays "as dark as the drop-out" (stays what) for too long.
void PrintHold(std::ostream& out, const char* label, const std::string& slider, const LiveRuns& live,
	std::size_t liveFrames, double fps, const char* lead, const char* what, const char* noRun)
{
	char line[512];
	const FrameRun longest = live.Longest();
	if (!live.Holdable(fps, liveFrames))
		std::snprintf(line, sizeof line, "%-14snone: %slive frames %zu to %zu stay %s for %s\n", label, lead,
			longest.first, longest.first + longest.frames - 1, what,
			longest.frames == liveFrames ? "the whole live recording" : "longer than 10 s");
	else if (live.runs.empty())
		std::snprintf(line, sizeof line, "%-14sany \"%s\" is safe: %s\n", label, slider.c_str(), noRun);
	else
		std::snprintf(line, sizeof line, "%-14sthe shortest safe \"%s\" is %.2f s (--set \"%s=%.4f\")\n", label,
			slider.c_str(), live.MinSafeHold(fps), slider.c_str(), live.MinSafeHold(fps) / LiveRuns::kMaxHold);
	out << line;
}

void PrintText(std::ostream& out, const CalibrateOptions& options, const Recording& live, const Recording& dropout,
	const Calibration& result)
{
	PrintRecording(out, "Live", live, result.blackRule, options.fps);
	PrintRecording(out, "Drop-out", dropout, result.blackRule, options.fps);
	const bool stillCatches = result.StillSeparates(options.fps, live.Frames());
	char line[512];
	const WatchRule& guard = result.blackRule;
	if (!result.threshold)
		out << "Threshold     none: the drop-out reaches " << Percent(dropout.Summary().max) << ", and \""
			<< guard.thresholdSlider << "\" goes up to " << Percent(guard.thresholdAt(1.0f)) << "\n";
	else
	{
		std::snprintf(line, sizeof line, "Threshold     %s (--set \"%s=%.6f\")\n", result.threshold->display.c_str(),
			guard.thresholdSlider.c_str(), result.threshold->slider);
		out << line;
		PrintRuns(out, "Live black", result.black, "at that threshold", options.fps);
		PrintHold(out, "Hold", guard.holdSlider, result.black, live.Frames(), options.fps,
			stillCatches ? "" : "no threshold separates them; ", "as dark as the drop-out",
			"no live frame is that dark");
	}
	if (options.hold >= 0.0 && result.Separates(options.fps, live.Frames()))
	{
		std::snprintf(line, sizeof line, "              a \"%s\" of %.2f s is %s\n", guard.holdSlider.c_str(),
			options.hold,
			options.hold >= result.black.MinSafeHold(options.fps) ? "safe" : "too short: live darkness would switch");
		out << line;
	}
	PrintRuns(out, "Live still", result.liveStill,
		"at the default \"" + result.still.thresholdSlider + "\" of " + result.still.thresholdDisplay, options.fps);
	PrintHold(out, "Still hold", result.still.holdSlider, result.liveStill, live.Frames(), options.fps, "", "still",
		"no live stretch stays that still");
	if (stillCatches)
		out << "Drop-out      still from its first frame to its last: the Watch's still rule catches it; the black "
			   "guard alone would not\n";
}

// A live picture darker than its drop-out is most often the two recordings
// given the other way round.
void NoteIfSwapped(std::ostream& out, const Recording& live, const Recording& dropout)
{
	const float liveMedian = live.Summary().median;
	const float dropoutMedian = dropout.Summary().median;
	if (liveMedian < dropoutMedian)
		out << "Note          the live recording is the darker (median " << Percent(liveMedian) << " against "
			<< Percent(dropoutMedian) << "): are --live and --dropout swapped?\n";
}

// A value to the given number of decimals, as the text report shows it; or
// null when unknown.
nlohmann::ordered_json Decimals(double value, int decimals, bool known = true)
{
	const double scale = std::pow(10.0, decimals);
	return known ? nlohmann::ordered_json(std::round(value * scale) / scale) : nullptr;
}

nlohmann::ordered_json JsonSummary(const Recording& recording, double fps)
{
	const LumaSummary s = recording.Summary();
	return { { "frames", recording.brightest.size() },
		{ "seconds", Decimals(static_cast<double>(recording.brightest.size()) / fps, 3) },
		{ "min", Decimals(s.min, 4) }, { "median", Decimals(s.median, 4) }, { "p99", Decimals(s.p99, 4) },
		{ "max", Decimals(s.max, 4) } };
}

void PrintJson(std::ostream& out, const CalibrateOptions& options, const Recording& live, const Recording& dropout,
	const Calibration& result)
{
	const bool separates = result.Separates(options.fps, live.Frames());
	const double fps = options.fps;
	nlohmann::ordered_json json = {
		{ "threshold", Decimals(separates ? result.threshold->threshold : 0.0, 4, separates) },
		{ "slider", Decimals(separates ? result.threshold->slider : 0.0, 6, separates) },
		{ "live", JsonSummary(live, fps) },
		{ "dropout", JsonSummary(dropout, fps) },
		{ "longest_live_black_s", Decimals(result.black.LongestSeconds(fps), 3, result.threshold.has_value()) },
		{ "min_safe_hold_s", Decimals(result.black.MinSafeHold(fps), 2, separates) },
	};
	if (options.hold >= 0.0)
		json["hold_safe"] = separates && options.hold >= result.black.MinSafeHold(fps);
	json["still"] = {
		{ "tolerance", Decimals(result.still.threshold, 4) },
		{ "longest_live_run_s", Decimals(result.liveStill.LongestSeconds(fps), 3) },
		{ "min_safe_hold_s",
			Decimals(result.liveStill.MinSafeHold(fps), 2, result.liveStill.Holdable(fps, live.Frames())) },
		{ "dropout_still", result.dropoutStill },
	};
	out << json.dump() << '\n';
}

void WriteTrace(const std::string& path, const Recording& live, const Recording& dropout, const WatchRule& black)
{
	std::ofstream trace(path);
	trace << "recording,frame," << black.measure << "\n";
	char line[64];
	for (const Recording* recording : { &live, &dropout })
		for (std::size_t i = 0; i < recording->brightest.size(); ++i)
		{
			std::snprintf(line, sizeof line, "%s,%zu,%.4f\n", recording == &live ? "live" : "dropout", i,
				static_cast<double>(recording->brightest[i]));
			trace << line;
		}
	if (!trace)
		throw RunError(kExitRunError, "cannot write the trace " + path + ": " + std::strerror(errno));
}

} // namespace

int RunCalibrateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	try
	{
		CalibrateOptions options;
		if (const std::optional<int> status = Read(args, options, out, err))
			return *status;
		const std::string module = options.watch ? kWatchId : kBlackGuardId;
		const Recording live = Recording::Read(options.live, options.width, options.height, module);
		const Recording dropout = Recording::Read(options.dropout, options.width, options.height, module);
		const Calibration result = Calibrate(live, dropout, options.fps, module);
		const bool separates =
			result.Separates(options.fps, live.Frames()) || result.StillSeparates(options.fps, live.Frames());
		if (options.json)
			PrintJson(out, options, live, dropout, result);
		else
			PrintText(out, options, live, dropout, result);
		if (!options.json && !separates)
			NoteIfSwapped(out, live, dropout);
		if (!options.tracePath.empty())
			WriteTrace(options.tracePath, live, dropout, result.blackRule);
		if (!options.plotPath.empty())
			WriteCalibrationPlot(options.plotPath, live, dropout, result, options.fps);
		return separates ? kExitSuccess : kExitModuleError;
	}
	catch (const RunError& error)
	{
		out << std::flush;
		PrintError(err, error.what());
		return error.Status();
	}
}

} // namespace ffgltool
