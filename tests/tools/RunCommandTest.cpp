// `ffgl-host run` run as a program: the guard's next-clip messages arrive and
// are printed decoded, black runs are judged on the drawn output, raw frames
// come in from standard input, and bad input ends in one error line.
//
// Runs are unpaced and small, so no test waits for real time; the guard's hold
// and recovery are set to 0 so that each black run fires at its first frame.
#include "support/UdpReceiver.h"
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;

// An example module of this build, or "" when the examples are left out.
std::string Example(const char* name)
{
#ifdef EXAMPLE_MODULE_DIR
	return std::string(EXAMPLE_MODULE_DIR) + "/" + name + ".so";
#else
	(void)name;
	return {};
#endif
}

// Skips a test whose module is not built, except on CI, which builds them all.
#define REQUIRE_MODULE(path) \
	if (std::string(path).empty()) \
	{ \
		if (OnCI()) \
			FAIL() << "the example modules are not part of this build"; \
		GTEST_SKIP() << "the example modules are not part of this build"; \
	}

// The host-side slider value that makes a 0..1 parameter show `target` on a
// scale of `steps` from `first`, printed so that it reads back exactly.
std::string SliderFor(int target, int first, int steps)
{
	char text[32];
	std::snprintf(
		text, sizeof text, "%.9g", static_cast<double>(static_cast<float>(target - first) / static_cast<float>(steps)));
	return text;
}

// A port the guard can reach (6000..9000) that nothing holds right now.
int FreeGuardPort()
{
	for (int port = 6000 + static_cast<int>(getpid() % 2500); port <= 9000; ++port)
		if (UdpReceiver(static_cast<std::uint16_t>(port)).IsOpen())
			return port;
	return 0;
}

// One raw frame, top row first, every pixel the given grey.
std::string Frame(int width, int height, char grey)
{
	std::string frame;
	for (int i = 0; i < width * height; ++i)
		frame += std::string{ grey, grey, grey, '\xFF' };
	return frame;
}

void ExpectExitedWith(const ToolResult& result, int status)
{
	ASSERT_TRUE(result.exited) << "killed by signal " << result.signal << "; stderr: " << result.err;
	EXPECT_EQ(result.exitStatus, status) << result.err;
}

TEST(RunCommand, ShowsTheGuardsTwoNextClipMessagesForTheSyntheticCamera)
{
	const int port = FreeGuardPort();
	ASSERT_NE(port, 0) << "no free UDP port between 6000 and 9000";
	const ToolResult result = RunTool(FFGL_HOST_PATH,
		{ "run", GUARD_MODULE_PATH, "--unpaced", "--size", "160x90", "--set", "Black Hold=0", "--set", "Recovery=0",
			"--set", "Layer=" + SliderFor(42, 1, 98), "--set", "OSC Port=" + SliderFor(port, 6000, 3000) });
	ExpectExitedWith(result, 0);
	const std::string& out = result.out;
	EXPECT_THAT(out, HasSubstr("\nOSC           listening on 127.0.0.1:" + std::to_string(port) + "\n"));
	EXPECT_THAT(out, HasSubstr("Layer 42, OSC Port " + std::to_string(port)));
	// The synthetic camera goes black at 3.0 s and 7.0 s: frames 90 and 210 at 30 fps.
	EXPECT_THAT(out,
		ContainsRegex("\nframe +90 +[0-9.]+ s  black begins\n"
					  "frame +90 +[0-9.]+ s  OSC /composition/layers/42/connectnextclip ,i 1\n"));
	EXPECT_THAT(out, ContainsRegex("\nframe +135 +[0-9.]+ s  picture again after [0-9.]+ s of black\n"));
	EXPECT_THAT(out,
		ContainsRegex("\nframe +210 +[0-9.]+ s  black begins\n"
					  "frame +210 +[0-9.]+ s  OSC /composition/layers/42/connectnextclip ,i 1\n"));
	EXPECT_THAT(
		out, ContainsRegex("\nSummary       300 frames in [0-9.]+ s, 2 black runs, 2 OSC messages received\n$"));
	EXPECT_THAT(result.err, Not(HasSubstr("refused")));
}

TEST(RunCommand, JudgesBlackRunsOnTheDrawnOutputOfRawFramesFromStandardInput)
{
	const std::string module = Example("ChannelGain");
	REQUIRE_MODULE(module);
	// 32x18: the grid columns are 3, 9, 15, 21, 27 and the rows, counted from
	// the bottom, 1, 5, 8, 11, 15. Frames arrive top row first.
	const int w = 32;
	const int h = 18;
	const auto white = [&](std::vector<std::pair<int, int>> pixels) { // x and row from the top
		std::string frame = Frame(w, h, 0);
		for (const auto& [x, yFromTop] : pixels)
			frame.replace((static_cast<std::size_t>(yFromTop) * w + x) * 4, 3, "\xFF\xFF\xFF");
		return frame;
	};
	const std::string input = Frame(w, h, '\x80') + white({ { 3, h - 2 } }) // 0, 1: picture (a grid point lit)
		+ Frame(w, h, 8) + white({ { 3, 1 }, { 4, h - 2 } })                // 2, 3: black (grey 8; lit off the grid)
		+ Frame(w, h, 9)                                                    // 4: picture (grey 9 is above 3.5 %)
		+ Frame(w, h, 0) + Frame(w, h, 0);                                  // 5, 6: black
	const ToolResult result =
		RunTool(FFGL_HOST_PATH, { "run", module, "--input", "-", "--size", "32x18", "--unpaced" }, input);
	ExpectExitedWith(result, 0);
	EXPECT_THAT(result.out, HasSubstr("raw RGBA frames of 32x18 from standard input"));
	EXPECT_THAT(result.out, HasSubstr("not listening: the module has no \"OSC Port\" parameter"));
	EXPECT_THAT(result.out,
		ContainsRegex("\nframe +2 +[0-9.]+ s  black begins\n"
					  "frame +4 +[0-9.]+ s  picture again after [0-9.]+ s of black\n"
					  "frame +5 +[0-9.]+ s  black begins\n"));
	EXPECT_THAT(
		result.out, ContainsRegex("\nSummary       7 frames in [0-9.]+ s, 2 black runs, 0 OSC messages received\n$"));
}

TEST(RunCommand, RunsASourceWithoutAnInputTexture)
{
	const std::string module = Example("ColourRamp");
	REQUIRE_MODULE(module);
	const ToolResult result =
		RunTool(FFGL_HOST_PATH, { "run", module, "--unpaced", "--frames", "4", "--size", "16x16" });
	ExpectExitedWith(result, 0);
	EXPECT_THAT(result.out, HasSubstr("\"QS Colour Ramp\", source"));
	EXPECT_THAT(result.out, HasSubstr("(a source: no input texture)"));
	EXPECT_THAT(
		result.out, ContainsRegex("\nSummary       4 frames in [0-9.]+ s, 0 black runs, 0 OSC messages received\n$"));
}

struct FailureCase
{
	const char* label;
	std::string module; // empty: a module left out of this build
	std::vector<std::string> options;
	std::string standardInput;
	int exitStatus;
	const char* errorPattern; // a regular expression for the text after "ffgl-host: error: "
};

void PrintTo(const FailureCase& failure, std::ostream* stream)
{
	*stream << failure.label;
}

class RunCommandFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(RunCommandFailure, GivesOneErrorLineAndNonZeroExit)
{
	const FailureCase& failure = GetParam();
	REQUIRE_MODULE(failure.module);
	std::vector<std::string> args = { "run", failure.module };
	args.insert(args.end(), failure.options.begin(), failure.options.end());
	const ToolResult result = RunTool(FFGL_HOST_PATH, args, failure.standardInput);
	ExpectExitedWith(result, failure.exitStatus);
	EXPECT_THAT(result.err, MatchesRegex(std::string("ffgl-host: error: .*") + failure.errorPattern + ".*\n"));
	EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "more than one line: " << result.err;
}

// 4x4 RGBA frames are 64 bytes.
const FailureCase kFailureCases[] = {
	{ "MissingModule", FAKE_MODULE_DIR "/NoSuchModule.so", {}, "", 1, "cannot load module: .*No such file" },
	{ "UnknownParameter", GUARD_MODULE_PATH, { "--set", "Blak Hold=0.1" }, "", 2,
		"unknown parameter \"Blak Hold\"; the module has \"Black Threshold\", \"Black Hold\", \"Recovery\", \"Layer\", \"OSC Port\"" },
	{ "ValueOutsideTheSlider", GUARD_MODULE_PATH, { "--set", "Black Hold=2" }, "", 2,
		"the value of \"Black Hold\" is a host-side slider value from 0 to 1, not '2'" },
	{ "ShortLastFrame", Example("ChannelGain"), { "--input", "-", "--size", "4x4", "--unpaced" },
		std::string(64 + 10, '\x40'), 4,
		"standard input ended inside frame 1 after 10 of 64 bytes: the frames are not raw RGBA of 4x4" },
	{ "NoFrameOnStandardInput", Example("ChannelGain"), { "--input", "-", "--size", "4x4" }, "", 4,
		"standard input holds no frame" },
	{ "Mixer", Example("Crossfade"), {}, "", 4, "the module is a mixer" },
	{ "UnknownOption", GUARD_MODULE_PATH, { "--colour", "red" }, "", 2, "unknown option '--colour'" },
	{ "BadSize", GUARD_MODULE_PATH, { "--size", "640x0" }, "", 2, "--size takes WIDTHxHEIGHT" },
	{ "BadInput", GUARD_MODULE_PATH, { "--input", "camera" }, "", 2, "--input takes 'synthetic' or '-'" },
	{ "OptionWithoutValue", GUARD_MODULE_PATH, { "--fps" }, "", 2, "option --fps needs a value" },
	{ "NoModule", "--unpaced", {}, "", 2, "usage: ffgl-host run MODULE" },
	{ "NullInfo", FAKE_MODULE_DIR "/FakeModuleNullInfo.so", {}, "", 1, "no info record \\(code 0 answered null\\)" },
};

INSTANTIATE_TEST_SUITE_P(BadInput, RunCommandFailure, ::testing::ValuesIn(kFailureCases),
	[](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.label); });

TEST(RunCommandFailure, ABusyPortIsRefused)
{
	UdpReceiver holder;
	ASSERT_TRUE(holder.IsOpen()) << holder.Error();
	const ToolResult result = RunTool(
		FFGL_HOST_PATH, { "run", GUARD_MODULE_PATH, "--frames", "1", "--listen", std::to_string(holder.Port()) });
	ExpectExitedWith(result, 4);
	EXPECT_THAT(result.err,
		MatchesRegex("ffgl-host: error: cannot listen on 127\\.0\\.0\\.1:" + std::to_string(holder.Port()) +
			": Address already in use .*\n"));
}

} // namespace
