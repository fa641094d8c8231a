#include "tools/run/RunOptions.h"

#include "tools/Command.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace ffgltool
{
namespace
{

constexpr int kMaxSide = 16384;
constexpr double kMaxFps = 1000.0;

} // namespace

const char kRunHelp[] =
	"usage: ffgl-host run MODULE [OPTIONS]\n"
	"\n"
	"Drives a plug-in module frame by frame as a host does, on a headless OpenGL\n"
	"context, and prints each OSC message that arrives while it runs.\n"
	"\n"
	"Options:\n"
	"  --input synthetic   the built-in synthetic camera (default): colour bars with\n"
	"                      moving content, black from 3.0 to 4.5 s and from 7.0 to\n"
	"                      8.5 s, 10 s in all\n"
	"  --input synthetic-still\n"
	"                      the synthetic camera for the Watch's still rule: the\n"
	"                      picture freezes from 2.0 to 5.0 s, a blue no-signal\n"
	"                      screen from 6.0 to 9.0 s\n"
	"  --input -           raw RGBA frames of the run's size from standard input, e.g.\n"
	"                      ffmpeg -loglevel error -i clip.mp4 -f rawvideo -pix_fmt rgba\n"
	"                        -s 640x360 - | ffgl-host run MODULE --input -\n"
	"  --input FILE        raw RGBA frames of the run's size from a file (or a pipe\n"
	"                      such as <(ffmpeg ...)); a file's size must be a whole\n"
	"                      number of frames\n"
	"  --size WxH          output and input size (default 640x360)\n"
	"  --fps N             frames per second, paced in real time (default 30); a\n"
	"                      run that falls behind says so once, with its rate\n"
	"  --unpaced           feed frames as fast as possible; the module's own clock\n"
	"                      then runs slower than the input's frame times, so a\n"
	"                      guard's hold and recovery, timed on that clock, may never\n"
	"                      pass: set \"Black Hold=0\" and \"Recovery=0\" for it\n"
	"  --frames N          stop after N frames\n"
	"  --seconds S         stop after S seconds of frames (S x fps frames)\n"
	"  --set \"NAME=VALUE\"  set a parameter by name to a host-side 0..1 value (text\n"
	"                      parameters take the text); may be repeated\n"
	"  --listen PORT       listen for OSC on 127.0.0.1:PORT instead of the port the\n"
	"                      module's \"OSC Port\" parameter displays\n"
	"  --trace FILE.csv    one line a frame of what the plug-in sees: frame,time_s,\n"
	"                      each rule's measure and verdict, armed,sent; for the black\n"
	"                      guard frame,time_s,brightest_luma,black,armed,sent; for\n"
	"                      the Watch frame,time_s,brightest_luma,black,\n"
	"                      largest_change,still,armed,sent; for other modules\n"
	"                      frame,time_s,sent\n"
	"  --plot FILE.svg     each rule's measure against time, its threshold and the\n"
	"                      judged runs shaded, each OSC message marked; opens in\n"
	"                      any browser\n"
	"\n"
	"By default the synthetic camera plays once; standard input plays to its end.\n"
	"Effects get the input as one texture; sources get no input texture and the\n"
	"input only sets the number of frames; mixers cannot be run.\n"
	"\n"
	"The drawn output is judged by the module's own rules, with its own measure\n"
	"and its sliders' values, for the modules run knows: the black guard (black:\n"
	"the brightest of 25 points on a 5 x 5 grid, at 10, 30, 50, 70 and 90 % of\n"
	"each side, has a Rec. 709 luma at or below \"Black Threshold\") and the Watch\n"
	"(black on a 7 x 7 grid, and still: no point changed by more than \"Still\n"
	"Tolerance\" from the run's first frame). Other modules are followed for\n"
	"frames, times and OSC messages only. Frames the module refuses (code 17\n"
	"answers FF_FAIL) are not judged.\n"
	"\n"
	"Exit status: 0 success, 1 the module cannot be loaded or answers nonsense,\n"
	"2 wrong usage (an unknown option or parameter name, a bad value), 3 the module\n"
	"crashed, 4 the run could not go on (no GL context, a busy port, input frames\n"
	"of the wrong size, a mixer).\n";

bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t& value)
{
	if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
		return false;
	errno = 0;
	const unsigned long long parsed = std::strtoull(text.c_str(), nullptr, 10);
	if (errno != 0 || parsed > max)
		return false;
	value = parsed;
	return true;
}

bool ParseReal(const std::string& text, double& value)
{
	if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
		return false;
	char* end = nullptr;
	value = std::strtod(text.c_str(), &end);
	return end == text.c_str() + text.size() && std::isfinite(value);
}

void ParseSizeOption(const std::string& value, int& width, int& height)
{
	const auto x = value.find('x');
	std::uint64_t w = 0;
	std::uint64_t h = 0;
	if (x == std::string::npos || !ParseUnsigned(value.substr(0, x), kMaxSide, w) ||
		!ParseUnsigned(value.substr(x + 1), kMaxSide, h) || w == 0 || h == 0)
		throw RunError(
			kExitUsage, "--size takes WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxSide) + ", not '" + value + "'");
	width = static_cast<int>(w);
	height = static_cast<int>(h);
}

double ParseFpsOption(const std::string& value)
{
	double fps = 0.0;
	if (!ParseReal(value, fps) || fps <= 0.0 || fps > kMaxFps)
		throw RunError(
			kExitUsage, "--fps takes a number of frames per second above 0 and up to 1000, not '" + value + "'");
	return fps;
}

RunOptions ParseRunOptions(const std::vector<std::string>& args)
{
	RunOptions options;
	const auto usage = [](const std::string& message) { return RunError(kExitUsage, message); };
	for (std::size_t i = 0; i < args.size(); ++i)
	{
		const std::string& arg = args[i];
		if (arg == "-h" || arg == "--help")
		{
			options.help = true;
			return options;
		}
		if (arg.empty() || arg[0] != '-' || arg == "-")
		{
			if (!options.modulePath.empty())
				throw usage("usage: ffgl-host run MODULE [OPTIONS]: one module only (try 'ffgl-host run --help')");
			options.modulePath = arg;
			continue;
		}
		if (arg == "--unpaced")
		{
			options.paced = false;
			continue;
		}
		if (i + 1 >= args.size())
			throw usage("option " + arg + " needs a value (try 'ffgl-host run --help')");
		const std::string& value = args[++i];
		std::uint64_t number = 0;
		double real = 0.0;
		if (arg == "--size")
			ParseSizeOption(value, options.width, options.height);
		else if (arg == "--fps")
			options.fps = ParseFpsOption(value);
		else if (arg == "--frames")
		{
			if (!ParseUnsigned(value, UINT64_MAX / 2, number) || number == 0)
				throw usage("--frames takes a positive whole number, not '" + value + "'");
			options.frames = number;
		}
		else if (arg == "--seconds")
		{
			if (!ParseReal(value, real) || real <= 0.0 || real > 1e7)
				throw usage("--seconds takes a positive number, not '" + value + "'");
			options.seconds = real;
		}
		else if (arg == "--set")
		{
			const auto equals = value.find('=');
			if (equals == std::string::npos || equals == 0)
				throw usage("--set takes \"NAME=VALUE\", not '" + value + "'");
			options.settings.push_back({ value.substr(0, equals), value.substr(equals + 1) });
		}
		else if (arg == "--input")
		{
			if (value.empty())
				throw usage("--input takes 'synthetic', 'synthetic-still', '-' (standard input) or a file, not ''");
			options.input = value;
		}
		else if (arg == "--trace")
			options.tracePath = value;
		else if (arg == "--plot")
			options.plotPath = value;
		else if (arg == "--listen")
		{
			if (!ParseUnsigned(value, 65535, number) || number == 0)
				throw usage("--listen takes a UDP port from 1 to 65535, not '" + value + "'");
			options.listenPort = static_cast<int>(number);
		}
		else
			throw usage("unknown option '" + arg + "' (try 'ffgl-host run --help')");
	}
	if (options.modulePath.empty())
		throw usage("usage: ffgl-host run MODULE [OPTIONS] (try 'ffgl-host run --help')");
	return options;
}

} // namespace ffgltool
