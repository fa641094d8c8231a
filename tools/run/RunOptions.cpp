#include "tools/run/RunOptions.h"

#include "tools/CommandLine.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace ffgltool
{
namespace
{

constexpr int kMaxSide = 16384;
constexpr double kMaxFps = 1000.0;

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
	"                      the Watch frame,time_s,brightest_cell,black,\n"
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
	"(black: the brightest mean of 40 x 24 cells of the picture; still: no cell's\n"
	"centre pixel changed by more than \"Still Tolerance\" from the run's first\n"
	"frame; the Watch judges a frame or two late, run at once). Other modules are\n"
	"followed for frames, times and OSC messages only. Frames the module refuses\n"
	"(code 17 answers FF_FAIL) are not judged.\n"
	"\n"
	"Exit status: 0 success, 1 the module cannot be loaded or answers nonsense,\n"
	"2 wrong usage (an unknown option or parameter name, a bad value), 3 the module\n"
	"crashed, 4 the run could not go on (no GL context, a busy port, input frames\n"
	"of the wrong size, a mixer).\n";

} // namespace

bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t& value)
{
	std::uint64_t parsed = 0;
	const char* end = text.data() + text.size();
	const auto [stop, error] = std::from_chars(text.data(), end, parsed);
	if (error != std::errc() || stop != end || parsed > max)
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

void AddSizeOption(CommandLine& line, int& width, int& height, CommandLine::Kind kind)
{
	line.Checked(
		"--size", "WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxSide),
		[&width, &height](const std::string& value)
		{
			const auto x = value.find('x');
			std::uint64_t w = 0;
			std::uint64_t h = 0;
			if (x == std::string::npos || !ParseUnsigned(value.substr(0, x), kMaxSide, w) ||
				!ParseUnsigned(value.substr(x + 1), kMaxSide, h) || w == 0 || h == 0)
				return false;
			width = static_cast<int>(w);
			height = static_cast<int>(h);
			return true;
		},
		kind);
}

void AddFpsOption(CommandLine& line, double& fps)
{
	line.Checked("--fps", "a number of frames per second above 0 and up to 1000",
		[&fps](const std::string& value) { return ParseReal(value, fps) && fps > 0.0 && fps <= kMaxFps; });
}

std::optional<int> ReadRunOptions(
	const std::vector<std::string>& args, RunOptions& options, std::ostream& out, std::ostream& err)
{
	CommandLine line("run", kRunHelp);
	line.Positional("MODULE", options.modulePath);
	bool unpaced = false;
	line.Flag("--unpaced", unpaced);
	AddSizeOption(line, options.width, options.height);
	AddFpsOption(line, options.fps);
	line.Checked("--frames", "a positive whole number",
		[&options](const std::string& value)
		{
			options.frames.emplace();
			return ParseUnsigned(value, UINT64_MAX / 2, *options.frames) && *options.frames > 0;
		});
	line.Checked("--seconds", "a positive number",
		[&options](const std::string& value)
		{
			options.seconds = 0.0;
			return ParseReal(value, *options.seconds) && *options.seconds > 0.0 && *options.seconds <= 1e7;
		});
	line.Checked(
		"--set", "\"NAME=VALUE\"",
		[&options](const std::string& value)
		{
			const auto equals = value.find('=');
			options.settings.push_back({ value.substr(0, equals), value.substr(equals + 1) });
			return equals != std::string::npos && equals > 0;
		},
		CommandLine::Repeatable);
	line.Checked("--input", "'synthetic', 'synthetic-still', '-' (standard input) or a file",
		[&options](const std::string& value)
		{
			options.input = value;
			return !value.empty();
		});
	line.Text("--trace", options.tracePath);
	line.Text("--plot", options.plotPath);
	line.Checked("--listen", "a UDP port from 1 to 65535",
		[&options](const std::string& value)
		{
			std::uint64_t port = 0;
			const bool accepted = ParseUnsigned(value, 65535, port) && port > 0;
			options.listenPort = static_cast<int>(port);
			return accepted;
		});
	const std::optional<int> status = line.Read(args, out, err);
	options.paced = !unpaced;
	return status;
}

} // namespace ffgltool
