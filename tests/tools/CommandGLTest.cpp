// The ffgl-host commands that make a GL context, run as a program: what info
// reads of well-formed modules, validate passing this project's modules and
// naming each deliberate fault, and run showing the guard's next-clip messages,
// judging black on the drawn output, agreeing with calibrate and ending a run
// that cannot go on in one error line.
//
// Runs are unpaced and small, so no test waits for real time; the guard's hold
// and recovery are set to 0 so that each black run fires at its first frame.
#include "support/UdpReceiver.h"
#include "tests/support/GLFixture.h"
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

namespace
{

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class CommandGLTest : public GLFixture
{
protected:
	// Skips (fails under CI=true) a test that needs the example modules.
	void RequireExamples()
	{
		if (!Example("ChannelGain").empty())
			return;
		if (OnCI())
			FAIL() << "the example modules are not part of this build";
		GTEST_SKIP() << "the example modules are not part of this build";
	}
};

// The given field of every row of a CSV file, its header left out.
std::vector<std::string> Column(const std::string& path, int field)
{
	std::stringstream csv(FileContents(path));
	std::vector<std::string> column;
	std::string line;
	for (std::getline(csv, line); std::getline(csv, line);)
	{
		std::stringstream fields(line);
		std::string value;
		for (int i = 0; i <= field; ++i)
			std::getline(fields, value, ',');
		column.push_back(value);
	}
	return column;
}

// Every field info shows, on the stand-in: what the guard's records hold is ModuleTest's.
TEST_F(CommandGLTest, InfoReportsWhatAHostReadsOfEachModule)
{
	// Named without a slash: the file in the working directory, where dlopen
	// alone would search the library path.
	setenv("MESA_GL_VERSION_OVERRIDE", "4.1", 1); // a driver of just the version needed serves
	const ToolResult good = RunFfglHost({ "info", "StandInGood.so" }, {}, STAND_IN_DIR);
	unsetenv("MESA_GL_VERSION_OVERRIDE");
	EXPECT_EQ(good.exitStatus, 0) << good.err;
	EXPECT_THAT(good.out,
		HasSubstr("\nID            TEST\n"
				  "Name          Tool Test Module  (fills the 16-byte name field, no terminator)\n"
				  "Type          source (1)\nAPI version   2.1\nVersion       3.7\n"
				  "Description   A module for the host tests\nAbout         About\\x09tab\n"));
	EXPECT_THAT(good.out,
		ContainsRegex("Set time +no\n +Minimum inputs +1\n +Maximum inputs +2\n"
					  " +Top-left texture orientation +yes\n"));
	EXPECT_THAT(good.out,
		ContainsRegex("\n  0 +Amount +standard \\(10\\) +0\\.25 +0\\.\\.1 +25 %\n"
					  "  1 +Caption +text \\(100\\) +\"hello\" +0\\.\\.0 +hello\n"));

	const ToolResult refuses = RunFfglHost({ "info", StandIn("RefusesInstance") });
	EXPECT_EQ(refuses.exitStatus, 0) << refuses.err;
	EXPECT_THAT(
		refuses.out, ContainsRegex("\n  1 +Caption +text \\(100\\) +\"hello\" +0\\.\\.0\n  Display texts unavailable"));
}

TEST_F(CommandGLTest, ValidatePassesOnTheProjectsModules)
{
	for (const std::string& module : { std::string(GUARD_MODULE_PATH), std::string(WATCH_MODULE_PATH),
			 Example("ColourRamp"), Example("ChannelGain"), Example("Crossfade") })
	{
		if (module.empty())
			continue; // the examples are left out of this build
		const ToolResult result = RunFfglHost({ "validate", module });
		EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
		EXPECT_THAT(result.out, ::testing::Not(HasSubstr("FAIL  ")));
		// The guard answers without a single warning; the others warn of values kept as given.
		EXPECT_THAT(result.out,
			HasSubstr(module == GUARD_MODULE_PATH ? ": 20 passed, 0 warnings, 0 failed: PASS\n" : " 0 failed: PASS\n"));
	}
}

TEST_F(CommandGLTest, ValidateFailsOnTheCheckThatNamesTheFault)
{
	const struct
	{
		const char* kind;
		const char* check;
		const char* detail;
	} cases[] = {
		{ "BadIdentity", "identity", "the ID \"B\\x01K\\x7F\" is not four printable characters" },
		{ "HugeExtendedData", "extended-info", "claims 4294967280 bytes, more than 16777216" },
		{ "NaNDefault", "parameter-definitions", "the default of parameter 0 (code 6) is NaN" },
		{ "NaNRange", "parameter-definitions", "the range of parameter 0 is 0..NaN" },
		{ "UnterminatedDisplay", "display-texts", "has no terminating zero within 1024 bytes" },
		{ "DrawsWithoutInput", "frames-refused", "a frame without inputs was not refused" },
		{ "LeavesTextureUnit", "gl-state", "after a frame: active texture unit is 3, was 0" },
		{ "LeavesBlend", "gl-state", "after a frame: GL_BLEND is 1, was 0" },
		{ "LeaksBuffer", "lifecycle-leaks", "100 buffers left over after 100 cycles" },
		{ "LeaksDescriptor", "lifecycle-leaks", "100 file descriptors left open after 100 cycles" },
		{ "NoSuchModule", "load", "No such file or directory" },
	};
	for (const auto& c : cases)
	{
		const ToolResult result = RunFfglHost({ "validate", StandIn(c.kind) });
		SCOPED_TRACE(c.kind);
		EXPECT_EQ(result.exitStatus, 1) << result.err;
		// One line per check, "FAIL  <check>  <detail>", then a blank line and the summary.
		std::smatch failLine;
		std::regex_search(result.out, failLine, std::regex(std::string("(^|\n)FAIL  ") + c.check + "  [^\n]*"));
		EXPECT_THAT(failLine.str(), HasSubstr(c.detail)) << result.out;
		EXPECT_THAT(result.out,
			ContainsRegex("\n\n" + StandIn(c.kind) + ": [0-9]+ passed, [0-9]+ warnings?, [0-9]+ failed: FAIL\n$"));
	}
	EXPECT_THAT(RunFfglHost({ "validate", StandIn("LongDisplay") }).out,
		ContainsRegex("\nWARN  display-texts +[^\n]*\"a display of 18 ch\" has no terminator within 16 bytes"));
	EXPECT_THAT(RunFfglHost({ "validate", StandIn("InputPastMaximum") }).out,
		ContainsRegex("\nWARN  host-state-calls +code 16 answers 0x00000001 for input 2, past the maximum of 2"));

	const ToolResult text = RunFfglHost({ "validate", StandIn("BadIdentity") });
	EXPECT_THAT(text.out,
		::testing::StartsWith("PASS  load                    plugMain found\n"
							  "FAIL  identity                the ID \"B\\x01K\\x7F\" is not four "
							  "printable characters\n"));
	const nlohmann::json json =
		nlohmann::json::parse(RunFfglHost({ "validate", "--json", StandIn("BadIdentity") }).out);
	EXPECT_EQ(json["checks"][1],
		nlohmann::json({ { "check", "identity" }, { "status", "FAIL" },
			{ "detail", "the ID \"B\\x01K\\x7F\" is not four printable characters" } }));
	EXPECT_EQ(json["summary"], nlohmann::json({ { "pass", 12 }, { "warn", 1 }, { "fail", 7 } }));
}

// Whatever bytes a module's texts hold, the JSON report is UTF-8 that a strict
// parser reads: bytes that are not UTF-8 show as U+FFFD.
TEST_F(CommandGLTest, ValidateWritesJsonWhateverBytesTheModuleReturns)
{
	const ToolResult result = RunFfglHost({ "validate", "--json", StandIn("NotUtf8") });
	const nlohmann::json json = nlohmann::json::parse(result.out);
	EXPECT_THAT(json["checks"][1]["detail"].get<std::string>(), HasSubstr("name \"\uFFFD\uFFFDol Test Module\""));
	EXPECT_THAT(json["checks"].dump(), HasSubstr("\\\"\uFFFD display of 18 \uFFFD\\\" has no terminator"));
}

TEST_F(CommandGLTest, RunShowsTheGuardsNextClipMessagesForTheSyntheticCamera)
{
	// Layer 42 is the slider (42 - 1) / 98; run listens on the port "OSC Port" shows.
	const std::string trace = TempPath("run.csv");
	const std::string plot = TempPath("run.svg");
	const ToolResult result =
		RunFfglHostOnFreePort({ "run", GUARD_MODULE_PATH, "--unpaced", "--size", "160x90", "--set", "Black Hold=0",
			"--set", "Recovery=0", "--set", "Layer=" + std::to_string(41.0 / 98.0), "--trace", trace, "--plot", plot });
	ASSERT_EQ(result.exitStatus, 0) << result.err;
	const std::string port = std::to_string(result.oscPort);
	EXPECT_THAT(result.out, HasSubstr("Layer 42, OSC Port " + port));
	EXPECT_THAT(result.out, HasSubstr("\nOSC           listening on 127.0.0.1:" + port + "\n"));
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
	const std::vector<std::string> black = Column(trace, 3), arrived = Column(trace, 5);
	int runs = 0;
	for (std::size_t i = 0; i < black.size(); ++i)
		runs += black[i] == "1" && (i == 0 || black[i - 1] == "0");
	EXPECT_EQ(runs, 2);
	EXPECT_EQ(std::count(arrived.begin(), arrived.end(), "1"), 2);
	EXPECT_EQ(RunTool("xmllint", { "--noout", plot }).exitStatus, 0);
	const std::string svg = FileContents(plot);
	std::size_t markers = 0;
	for (auto at = svg.find("class=\"message\""); at != std::string::npos; at = svg.find("class=\"message\"", at + 1))
		++markers;
	EXPECT_EQ(markers, 2u);
}

// Each module's own rules: the Watch's black and still runs in the report,
// the trace and the plot (paced fast, so that the still run outlasts the
// rule's grace in real time); a module without a watch, an effect or a
// source, is followed for frames, times and messages only.
TEST_F(CommandGLTest, RunFollowsEachModulesOwnRules)
{
	RequireExamples();
	const std::string noise = "color=c=gray:s=64x36:r=400:d=0.1,noise=alls=20:allf=t";
	const std::string clip = ClipFile("watch", // frames 40 to 79 black, 120 to 259 frozen
		noise + "[a];color=c=black:s=64x36:r=400:d=0.1[b];" + noise + "[c];color=c=gray:s=64x36:r=400:d=0.35[d];" +
			noise + ",trim=end_frame=20[e];[a][b][c][d][e]concat=n=5",
		64, 36);
	const std::string trace = TempPath("run.csv"), plot = TempPath("run.svg");
	const ToolResult watch =
		RunFfglHostOnFreePort({ "run", WATCH_MODULE_PATH, "--input", clip, "--size", "64x36", "--fps", "400", "--set",
			"Black Hold=0", "--set", "Still Hold=0", "--set", "Recovery=0", "--trace", trace, "--plot", plot });
	ASSERT_EQ(watch.exitStatus, 0) << watch.err;
	EXPECT_THAT(watch.out, ContainsRegex("\nframe +40 +[0-9.]+ s  black begins\n"));
	EXPECT_THAT(watch.out, ContainsRegex("\nframe +260 +[0-9.]+ s  picture again after [0-9.]+ s of still\n"));
	EXPECT_THAT(watch.out, HasSubstr(" s, 1 black run, 1 still run, 2 OSC messages received\n"));
	EXPECT_THAT(FileContents(trace), StartsWith("frame,time_s,brightest_cell,black,largest_change,still,armed,sent\n"));
	const std::vector<std::string> sent = Column(trace, 7);
	EXPECT_EQ(std::count(sent.begin(), sent.end(), "1"), 2);
	EXPECT_EQ(RunTool("xmllint", { "--noout", plot }).exitStatus, 0);
	EXPECT_THAT(FileContents(plot), ContainsRegex("brightest cell per frame.*largest change per frame"));

	const std::string input(32 * 18 * 4 * 3, '\0'); // three black frames
	const ToolResult effect = RunFfglHost(
		{ "run", Example("ChannelGain"), "--input", "-", "--size", "32x18", "--unpaced", "--trace", trace }, input);
	ASSERT_EQ(effect.exitStatus, 0) << effect.err;
	EXPECT_THAT(effect.out,
		ContainsRegex("\nRules         none: [^\n]*\nOSC           not listening: the module has no \"OSC Port\" "
					  "parameter [^\n]*\nSummary       3 frames in [0-9.]+ s, 0 OSC messages received\n$"));
	EXPECT_THAT(FileContents(trace), ContainsRegex("^frame,time_s,sent\n0,[0-9.]+,0\n1,[0-9.]+,0\n2,[0-9.]+,0\n$"));
	// Black to the last frame: the guard's black run is shaded to the plot's right end.
	ASSERT_EQ(RunFfglHostOnFreePort(
				  { "run", GUARD_MODULE_PATH, "--input", "-", "--size", "32x18", "--unpaced", "--plot", plot },
				  std::string(32 * 18 * 4 * 30, '\0'))
				  .exitStatus,
		0);
	const std::string svg = FileContents(plot);
	std::smatch run;
	ASSERT_TRUE(
		std::regex_search(svg, run, std::regex("class=\"run\" x=\"([0-9.]+)\" y=\"[0-9.]+\" width=\"([0-9.]+)\"")));
	EXPECT_NEAR(std::stod(run.str(1)) + std::stod(run.str(2)), 876.0, 0.1) << svg;
	const ToolResult source =
		RunFfglHost({ "run", Example("ColourRamp"), "--input", "-", "--size", "32x18", "--unpaced" }, input);
	ASSERT_EQ(source.exitStatus, 0) << source.err;
	EXPECT_THAT(source.out,
		ContainsRegex("\"QS Colour Ramp\", source\\) at 32x18, 30 fps unpaced.*\\(a source: no input texture\\).*"
					  "Summary       3 frames in"));
	for (const std::string& path : { clip, trace, plot })
		std::remove(path.c_str());
}

// calibrate reads the frames in memory, the module reads what it drew: both
// take the same samples, so every frame's brightest luma agrees.
TEST_F(CommandGLTest, RunMeasuresWhatCalibrateMeasures)
{
	const std::string clip = ClipFile(
		"clip", "testsrc2=s=160x90:r=30:d=0.5[a];color=c=0x101010:s=160x90:r=30:d=0.3[b];[a][b]concat=n=2:v=1");
	const std::string runTrace = TempPath("run.csv");
	const std::string calibrateTrace = TempPath("calibrate.csv");
	ASSERT_EQ(RunFfglHostOnFreePort(
				  { "run", GUARD_MODULE_PATH, "--unpaced", "--size", "160x90", "--input", clip, "--trace", runTrace })
				  .exitStatus,
		0);
	RunFfglHost({ "calibrate", "--live", clip, "--dropout", clip, "--size", "160x90", "--trace", calibrateTrace });
	const std::vector<std::string> module = Column(runTrace, 2), calibrated = Column(calibrateTrace, 2);
	ASSERT_EQ(module.size(), 24u);
	ASSERT_GE(calibrated.size(), module.size());
	EXPECT_TRUE(std::equal(module.begin(), module.end(), calibrated.begin()));
	for (const std::string& path : { clip, runTrace, calibrateTrace })
		std::remove(path.c_str());
}

TEST_F(CommandGLTest, RunNamesWhatWouldMisleadAUser)
{
	const std::string wide = ClipFile("wide", "testsrc2=s=640x360:r=30:d=0.1", 640, 360);
	const std::string limited = ClipFile("limited", "color=c=0x101010:s=160x90:r=30:d=0.5");
	const std::string narrow = ClipFile("narrow",
		"color=c=black:s=320x240:r=30:d=0.2[a];testsrc2=s=320x240:r=30:d=0.3[b];[a][b]concat=n=2:v=1", 320, 240);
	const std::string bars = ClipFile("bars", "pal100bars=s=320x240:r=30:d=0.1", 320, 240);
	const struct
	{
		std::vector<std::string> options;
		std::string input;
		const char* says;
	} cases[] = {
		{ { "--input", "-", "--size", "320x180" }, FileContents(wide), "rows line up at a width of 640 pixels" },
		{ { "--input", "-", "--size", "640x360" }, FileContents(narrow),
			"frame 2 looks sheared: its rows line up at a width of 320 pixels" }, // two rows a row, after black
		{ { "--input", "-", "--size", "480x160" }, FileContents(bars),
			"rows line up at a width of 320 pixels" }, // bars line up at every multiple of 320: the first tells
		{ { "--input", limited, "--set", "Black Hold=0" }, "", "Black Threshold=0.272000" },
		{ { "--frames", "1", "--set", "Black Threshold=0.24" }, "", "at or below 6.0% luma" },
		{ { "--frames", "150", "--set", "Recovery=1" }, "", "the run was unpaced" }, // 1 is a slider's end, not past it
	};
	for (const auto& c : cases)
	{
		std::vector<std::string> args = { "run", GUARD_MODULE_PATH, "--unpaced", "--size", "160x90" };
		args.insert(args.end(), c.options.begin(), c.options.end());
		const ToolResult result = RunFfglHostOnFreePort(args, c.input);
		EXPECT_EQ(result.exitStatus, 0) << c.says << ": " << result.err;
		EXPECT_THAT(result.out + result.err, HasSubstr(c.says));
	}
	std::remove(wide.c_str());
	std::remove(limited.c_str());
	std::remove(narrow.c_str());
	std::remove(bars.c_str());
}

TEST_F(CommandGLTest, RunEndsWithOneErrorLineWhenItCannotGoOn)
{
	RequireExamples();
	UdpReceiver holder;
	ASSERT_TRUE(holder.IsOpen()) << holder.Error();
	const std::string busy = std::to_string(holder.Port());
	const std::string odd = TempPath("odd"); // 1000 bytes: 15.6 frames
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
		{ { Example("ChannelGain"), "--input", "/dev/null/x" }, "", 4, "cannot open /dev/null/x: .*" },
		{ { Example("ChannelGain"), "--size", "4x4", "--input", odd }, "", 4,
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
		SCOPED_TRACE(c.error);
		ExpectOneErrorLine(RunFfglHost(args, c.input), c.exitStatus, c.error);
	}
}

} // namespace
