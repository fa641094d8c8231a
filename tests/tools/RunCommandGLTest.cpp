// `ffgl-host run` as a program: the guard's next-clip messages arrive and are
// printed decoded, black runs are judged on the drawn output (raw frames from
// standard input included), a source gets no input, and a run that cannot go
// on ends in one error line.
//
// Runs are unpaced and small, so no test waits for real time; the guard's hold
// and recovery are set to 0 so that each black run fires at its first frame.
#include "support/UdpReceiver.h"
#include "tests/support/GLFixture.h"
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace
{

using ::testing::ContainsRegex;
using ::testing::HasSubstr;

class RunCommand : public GLFixture
{
protected:
	void SetUp() override
	{
		GLFixture::SetUp();
		if (!IsSkipped() && !HasFatalFailure() && Example("ChannelGain").empty())
		{
			if (OnCI())
				FAIL() << "the example modules are not part of this build";
			GTEST_SKIP() << "the example modules are not part of this build";
		}
	}
};

// One raw 32x18 frame, top row first, every pixel the given grey, with white
// pixels at (x, row from the top).
std::string Frame(char grey, std::vector<std::pair<int, int>> white = {})
{
	std::string frame(32 * 18 * 4, grey);
	for (std::size_t alpha = 3; alpha < frame.size(); alpha += 4)
		frame[alpha] = '\xFF';
	for (const auto& [x, row] : white)
		frame.replace(static_cast<std::size_t>(row * 32 + x) * 4, 3, "\xFF\xFF\xFF");
	return frame;
}

TEST_F(RunCommand, ShowsTheGuardsNextClipMessagesForTheSyntheticCamera)
{
	int port = 6000 + static_cast<int>(getpid() % 2500); // one the guard can reach and nothing holds
	while (!UdpReceiver(static_cast<std::uint16_t>(port)).IsOpen())
		++port;
	// Sliders: layer 42 is (42 - 1) / 98, the port (port - 6000) / 3000.
	const std::string trace = ::testing::TempDir() + "run-" + std::to_string(getpid()) + ".csv";
	const std::string plot = ::testing::TempDir() + "run-" + std::to_string(getpid()) + ".svg";
	const ToolResult result = RunTool(FFGL_HOST_PATH,
		{ "run", GUARD_MODULE_PATH, "--unpaced", "--size", "160x90", "--set", "Black Hold=0", "--set", "Recovery=0",
			"--set", "Layer=" + std::to_string(41.0 / 98.0), "--set",
			"OSC Port=" + std::to_string((port - 6000) / 3000.0 + 1e-6), "--trace", trace, "--plot", plot });
	ASSERT_EQ(result.exitStatus, 0) << result.err;
	EXPECT_THAT(result.out, HasSubstr("Layer 42, OSC Port " + std::to_string(port)));
	EXPECT_THAT(result.out, HasSubstr("\nOSC           listening on 127.0.0.1:" + std::to_string(port) + "\n"));
	// The synthetic camera is black from 3.0 to 4.5 s and from 7.0 s: frames 90 to 134 and from 210.
	for (const char* black : { "90", "210" })
		EXPECT_THAT(result.out,
			ContainsRegex(std::string("\nframe +") + black + " +[0-9.]+ s  black begins\nframe +" + black +
				" +[0-9.]+ s  OSC /composition/layers/42/connectnextclip ,i 1\n"));
	EXPECT_THAT(result.out, ContainsRegex("\nframe +135 +[0-9.]+ s  picture again after [0-9.]+ s of black\n"));
	EXPECT_THAT(result.out,
		ContainsRegex("\nSummary       300 frames in [0-9.]+ s, 2 black runs, 2 OSC messages "
					  "received\n$"));
	EXPECT_EQ(result.err, "");

	// The trace's black runs and messages are the summary's; the plot is
	// well-formed XML with one marker per message.
	std::ifstream csv(trace);
	std::string line;
	int runs = 0;
	int sent = 0;
	for (int black = 0, was = 0, arrived = 0, armed = 0; std::getline(csv, line); was = black)
		if (std::sscanf(line.c_str(), "%*u,%*f,%*f,%d,%d,%d", &black, &armed, &arrived) == 3)
		{
			runs += black && !was;
			sent += arrived;
		}
	EXPECT_EQ(runs, 2);
	EXPECT_EQ(sent, 2);
	EXPECT_EQ(RunTool("xmllint", { "--noout", plot }).exitStatus, 0);
	std::stringstream svg;
	svg << std::ifstream(plot).rdbuf();
	const std::string text = svg.str();
	std::size_t markers = 0;
	for (auto at = text.find("class=\"message\""); at != std::string::npos; at = text.find("class=\"message\"", at + 1))
		++markers;
	EXPECT_EQ(markers, 2u);
}

TEST_F(RunCommand, JudgesBlackOnTheDrawnOutputOfFramesFromStandardInput)
{
	// 32x18: the grid columns are 3, 9, 15, 21, 27 and the rows from the top
	// 2, 5, 9, 12, 16 (from the bottom 15, 12, 8, 5, 1).
	const std::string input = Frame(0, { { 3, 16 } }) + Frame(0, { { 27, 2 } }) // 0, 1: a corner lit
		+ Frame(8) + Frame(0, { { 3, 1 }, { 4, 16 } })                          // 2, 3: black, lit off the grid
		+ Frame(9)                                                              // 4: 9 / 255 is above 3.5 %
		+ Frame(0) + Frame(0);                                                  // 5, 6: black
	const ToolResult result = RunTool(
		FFGL_HOST_PATH, { "run", Example("ChannelGain"), "--input", "-", "--size", "32x18", "--unpaced" }, input);
	ASSERT_EQ(result.exitStatus, 0) << result.err;
	EXPECT_THAT(result.out, HasSubstr("\nInput         raw RGBA frames of 32x18 from standard input\n"));
	EXPECT_THAT(result.out,
		ContainsRegex("not listening: the module has no \"OSC Port\" parameter [^\n]*\n"
					  "frame +2 +[0-9.]+ s  black begins\n"
					  "frame +4 +[0-9.]+ s  picture again after [0-9.]+ s of black\n"
					  "frame +5 +[0-9.]+ s  black begins\n"
					  "Summary       7 frames in [0-9.]+ s, 2 black runs, 0 OSC messages received\n$"));

	const ToolResult source = RunTool(
		FFGL_HOST_PATH, { "run", Example("ColourRamp"), "--input", "-", "--size", "32x18", "--unpaced" }, input);
	ASSERT_EQ(source.exitStatus, 0) << source.err;
	EXPECT_THAT(source.out,
		ContainsRegex("\"QS Colour Ramp\", source.*\\(a source: no input texture\\).*Summary       7 frames in"));
}

TEST_F(RunCommand, EndsWithOneErrorLineWhenItCannotGoOn)
{
	UdpReceiver holder;
	ASSERT_TRUE(holder.IsOpen()) << holder.Error();
	const std::string busy = std::to_string(holder.Port());
	const std::string odd = ::testing::TempDir() + "odd-" + std::to_string(getpid()); // 1000 bytes: 15.6 frames
	std::ofstream(odd) << std::string(1000, 'x');
	const struct
	{
		std::vector<std::string> args;
		std::string input;
		int exitStatus;
		std::string error; // a regular expression for the text after "ffgl-host: error: "
	} cases[] = {
		{ { GUARD_MODULE_PATH, "--set", "Blak Hold=0.1" }, "", 2,
			"unknown parameter \"Blak Hold\"; the module has \"Black Threshold\", \"Black Hold\", \"Recovery\", "
			"\"Layer\", \"OSC Port\"" },
		{ { GUARD_MODULE_PATH, "--set", "Black Hold=2" }, "", 2,
			"the value of \"Black Hold\" is a host-side slider value from 0 to 1, not '2'" },
		{ { GUARD_MODULE_PATH, "--frames", "1", "--listen", busy }, "", 4,
			"cannot listen on 127\\.0\\.0\\.1:" + busy +
				": Address already in use .*--set \"OSC Port=0\\.[0-9]+\" --listen [0-9]+\\)" },
		{ { GUARD_MODULE_PATH, "--input", "/dev/null/x" }, "", 4, "cannot open /dev/null/x: .*" },
		{ { GUARD_MODULE_PATH, "--size", "4x4", "--input", odd }, "", 4,
			".* holds 1000 bytes, not a whole number of raw RGBA frames of 4x4 .*" },
		{ { Example("ChannelGain"), "--input", "-", "--size", "4x4", "--unpaced" }, std::string(64 + 10, '\x40'), 4,
			"standard input ended inside frame 1 after 10 of 64 bytes: the frames are not raw RGBA of 4x4" },
		{ { Example("ChannelGain"), "--input", "-", "--size", "4x4" }, "", 4, "standard input holds no frame .*" },
		{ { Example("Crossfade") }, "", 4, ".*: the module is a mixer; .*" },
	};
	for (const auto& c : cases)
	{
		std::vector<std::string> args = { "run" };
		args.insert(args.end(), c.args.begin(), c.args.end());
		const ToolResult result = RunTool(FFGL_HOST_PATH, args, c.input);
		SCOPED_TRACE(c.error);
		EXPECT_EQ(result.exitStatus, c.exitStatus) << result.err;
		EXPECT_THAT(result.err, ::testing::MatchesRegex("ffgl-host: error: " + c.error + "\n"));
		EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "more than one line";
	}
}

} // namespace
