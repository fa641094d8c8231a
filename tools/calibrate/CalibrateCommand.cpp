#include "tools/calibrate/CalibrateCommand.h"

#include "tools/Command.h"
#include "tools/calibrate/Calibration.h"
#include "tools/calibrate/Recording.h"
#include "tools/run/RunOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ostream>

namespace ffgltool
{
namespace
{

const char kCalibrateHelp[] =
	"usage: ffgl-host calibrate --live FILE --dropout FILE --size WxH [--fps N]\n"
	"                           [--hold S] [--json] [--plot FILE.svg] [--trace FILE.csv]\n"
	"\n"
	"Finds the black guard's \"Black Threshold\" and the shortest safe \"Black Hold\"\n"
	"for a source, from two raw RGBA recordings of it at the size the host shows\n"
	"it: some seconds of live picture, including its darkest moments, and some\n"
	"seconds of the drop-out (camera unplugged, lens capped, the capture card's\n"
	"no-signal screen). Each frame is measured as the plug-in measures it. Either\n"
	"FILE may be a pipe, e.g. <(ffmpeg -loglevel error -i live.mp4 -f rawvideo\n"
	"-pix_fmt rgba -s 640x360 -).\n"
	"\n"
	"  --fps N          the recordings' frame rate (default 30)\n"
	"  --hold S         also say whether a \"Black Hold\" of S seconds is safe\n"
	"  --json           the result as one JSON object\n"
	"  --plot FILE.svg  both recordings' brightest luma against time, and the threshold\n"
	"  --trace FILE.csv one line a frame: recording,frame,brightest_luma\n"
	"\n"
	"Exit status: 0 a threshold and a hold of at most 10 s separate the recordings,\n"
	"1 none does, 2 wrong usage, 4 a recording cannot be read or holds no whole frames.\n";

struct CalibrateOptions
{
	std::string live;
	std::string dropout;
	int width = 0;
	int height = 0;
	double fps = 30.0;
	double hold = -1.0; // < 0: not asked
	bool json = false;
	std::string plotPath;
	std::string tracePath;
	bool help = false;
};

CalibrateOptions Parse(const std::vector<std::string>& args)
{
	CalibrateOptions options;
	options.help = std::find(args.begin(), args.end(), "--help") != args.end() ||
		std::find(args.begin(), args.end(), "-h") != args.end();
	const auto usage = [](const std::string& message) { return RunError(kExitUsage, message); };
	for (std::size_t i = 0; i < args.size() && !options.help; ++i)
	{
		const std::string& arg = args[i];
		if (arg == "--json")
		{
			options.json = true;
			continue;
		}
		if (i + 1 >= args.size())
			throw usage("option " + arg + " needs a value (try 'ffgl-host calibrate --help')");
		const std::string& value = args[++i];
		if (arg == "--live")
			options.live = value;
		else if (arg == "--dropout")
			options.dropout = value;
		else if (arg == "--plot")
			options.plotPath = value;
		else if (arg == "--trace")
			options.tracePath = value;
		else if (arg == "--size")
			ParseSizeOption(value, options.width, options.height);
		else if (arg == "--fps")
			options.fps = ParseFpsOption(value);
		else if (arg == "--hold")
		{
			if (!ParseReal(value, options.hold) || options.hold < 0.0 || options.hold > 10.0)
				throw usage("--hold takes seconds from 0 to 10, not '" + value + "'");
		}
		else
			throw usage("unknown option '" + arg + "' (try 'ffgl-host calibrate --help')");
	}
	if (!options.help && (options.live.empty() || options.dropout.empty() || options.width == 0))
		throw usage(
			"usage: ffgl-host calibrate --live FILE --dropout FILE --size WxH (try 'ffgl-host calibrate --help')");
	return options;
}

std::string Percent(float fraction)
{
	char text[32];
	std::snprintf(text, sizeof text, "%.1f %%", static_cast<double>(fraction) * 100.0);
	return text;
}

void PrintRecording(std::ostream& out, const char* label, const Recording& recording, double fps)
{
	const LumaSummary s = recording.Summary();
	char line[256];
	std::snprintf(line, sizeof line, "%-14s%zu frames, %.2f s: brightest luma min %s, median %s, 99th %s, max %s\n",
		label, recording.brightest.size(), static_cast<double>(recording.brightest.size()) / fps,
		Percent(s.min).c_str(), Percent(s.median).c_str(), Percent(s.p99).c_str(), Percent(s.max).c_str());
	out << line;
}

void PrintText(std::ostream& out, const CalibrateOptions& options, const Recording& live, const Recording& dropout,
	const Calibration& result)
{
	PrintRecording(out, "Live", live, options.fps);
	PrintRecording(out, "Drop-out", dropout, options.fps);
	char line[512];
	if (!result.threshold)
	{
		out << "Threshold     none: the drop-out reaches " << Percent(dropout.Summary().max)
			<< ", and \"Black Threshold\" goes up to 25.0 %\n";
		return;
	}
	std::snprintf(line, sizeof line, "Threshold     %s (--set \"Black Threshold=%.6f\")\n",
		result.threshold->display.c_str(), result.threshold->slider);
	out << line;
	if (result.liveRuns.empty())
		out << "Live black    none at that threshold\n";
	else
	{
		const DarkRun& longest = result.Longest();
		std::snprintf(line, sizeof line,
			"Live black    %zu run%s at that threshold, the longest %.2f s (frames %zu to %zu)\n",
			result.liveRuns.size(), result.liveRuns.size() == 1 ? "" : "s", result.LongestSeconds(options.fps),
			longest.first, longest.first + longest.frames - 1);
		out << line;
	}
	if (!result.Separates(options.fps, live.brightest.size()))
	{
		const DarkRun& longest = result.Longest();
		std::snprintf(line, sizeof line,
			"Hold          none: no threshold separates them; live frames %zu to %zu stay as dark as the drop-out "
			"for %s\n",
			longest.first, longest.first + longest.frames - 1,
			longest.frames == live.brightest.size() ? "the whole live recording" : "longer than 10 s");
		out << line;
		return;
	}
	if (result.liveRuns.empty())
		out << "Hold          any \"Black Hold\" is safe: no live frame is that dark\n";
	else
	{
		std::snprintf(line, sizeof line,
			"Hold          the shortest safe \"Black Hold\" is %.2f s (--set \"Black Hold=%.4f\")\n",
			result.MinSafeHold(options.fps), result.MinSafeHold(options.fps) / 10.0);
		out << line;
	}
	if (options.hold >= 0.0)
	{
		std::snprintf(line, sizeof line, "              a \"Black Hold\" of %.2f s is %s\n", options.hold,
			options.hold >= result.MinSafeHold(options.fps) ? "safe" : "too short: live darkness would switch");
		out << line;
	}
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

std::string JsonSummary(const Recording& recording, double fps)
{
	const LumaSummary s = recording.Summary();
	char text[256];
	std::snprintf(text, sizeof text,
		"{\"frames\": %zu, \"seconds\": %.3f, \"min\": %.4f, \"median\": %.4f, \"p99\": %.4f, \"max\": %.4f}",
		recording.brightest.size(), static_cast<double>(recording.brightest.size()) / fps, static_cast<double>(s.min),
		static_cast<double>(s.median), static_cast<double>(s.p99), static_cast<double>(s.max));
	return text;
}

void PrintJson(std::ostream& out, const CalibrateOptions& options, const Recording& live, const Recording& dropout,
	const Calibration& result)
{
	const bool separates = result.Separates(options.fps, live.brightest.size());
	char number[64];
	const auto fixed = [&number](const char* format, double value)
	{
		std::snprintf(number, sizeof number, format, value);
		return std::string(number);
	};
	out << "{\"threshold\": " << (separates ? fixed("%.4f", result.threshold->threshold) : "null")
		<< ", \"slider\": " << (separates ? fixed("%.6f", result.threshold->slider) : "null")
		<< ", \"live\": " << JsonSummary(live, options.fps) << ", \"dropout\": " << JsonSummary(dropout, options.fps)
		<< ", \"longest_live_black_s\": "
		<< (result.threshold ? fixed("%.3f", result.LongestSeconds(options.fps)) : "null")
		<< ", \"min_safe_hold_s\": " << (separates ? fixed("%.2f", result.MinSafeHold(options.fps)) : "null");
	if (options.hold >= 0.0)
		out << ", \"hold_safe\": " << (separates && options.hold >= result.MinSafeHold(options.fps) ? "true" : "false");
	out << "}\n";
}

void WriteTrace(const std::string& path, const Recording& live, const Recording& dropout)
{
	std::ofstream trace(path);
	trace << "recording,frame,brightest_luma\n";
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
		const CalibrateOptions options = Parse(args);
		if (options.help)
		{
			out << kCalibrateHelp;
			return kExitSuccess;
		}
		const Recording live = Recording::Read(options.live, options.width, options.height);
		const Recording dropout = Recording::Read(options.dropout, options.width, options.height);
		const Calibration result = Calibrate(live, dropout);
		const bool separates = result.Separates(options.fps, live.brightest.size());
		if (options.json)
			PrintJson(out, options, live, dropout, result);
		else
			PrintText(out, options, live, dropout, result);
		if (!options.json && !separates)
			NoteIfSwapped(out, live, dropout);
		if (!options.tracePath.empty())
			WriteTrace(options.tracePath, live, dropout);
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
