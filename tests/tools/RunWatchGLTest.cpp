// What `ffgl-host run` shows of a watching plug-in: the trace and the plot
// agree with the run's own summary, the module's measure equals calibrate's on
// the same footage, and footage or ports that would mislead a user are named.
// Runs are unpaced and small; holds are 0 so that nothing waits for real time.
#include "support/UdpReceiver.h"
#include "tests/support/Clips.h"
#include "tests/support/GLFixture.h"
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using ::testing::HasSubstr;
using RunWatchGLTest = GLFixture;

std::string Temp(const std::string& name)
{
	return ::testing::TempDir() + "runwatch-" + std::to_string(::getpid()) + "-" + name;
}

std::string ClipFile(const std::string& name, const std::string& graph, int width = 160, int height = 90)
{
	std::string error;
	const tests::Clip clip = tests::MakeClip(graph, width, height, error);
	EXPECT_FALSE(clip.frames.empty()) << error;
	const std::string path = Temp(name);
	std::ofstream file(path, std::ios::binary);
	for (const auto& frame : clip.frames)
		file.write(reinterpret_cast<const char*>(frame.data()), static_cast<std::streamsize>(frame.size()));
	return path;
}

// The CSV's rows (the header left out), split at commas.
std::vector<std::vector<std::string>> Rows(const std::string& path)
{
	std::ifstream file(path);
	std::vector<std::vector<std::string>> rows;
	std::string line;
	std::getline(file, line);
	while (std::getline(file, line))
	{
		std::vector<std::string> fields;
		std::stringstream stream(line);
		for (std::string field; std::getline(stream, field, ',');)
			fields.push_back(field);
		rows.push_back(fields);
	}
	return rows;
}

// A port in the plug-ins' range that nothing holds, and its slider value.
int FreePort()
{
	int port = 6000 + static_cast<int>(::getpid() % 2500);
	while (!UdpReceiver(static_cast<std::uint16_t>(port)).IsOpen())
		++port;
	return port;
}

std::string PortSlider(int port)
{
	return "OSC Port=" + std::to_string((port - 6000) / 3000.0 + 1e-6);
}

TEST_F(RunWatchGLTest, TraceAndPlotAgreeWithTheSummary)
{
	const std::string trace = Temp("trace.csv");
	const std::string plot = Temp("plot.svg");
	const ToolResult result = RunTool(FFGL_HOST_PATH,
		{ "run", GUARD_MODULE_PATH, "--unpaced", "--size", "160x90", "--set", "Black Hold=0", "--set", "Recovery=0",
			"--set", PortSlider(FreePort()), "--trace", trace, "--plot", plot });
	ASSERT_EQ(result.exitStatus, 0) << result.err;
	ASSERT_THAT(result.out, HasSubstr("2 black runs, 2 OSC messages received"));

	int runs = 0;
	int sent = 0;
	bool black = false;
	for (const auto& row : Rows(trace))
	{
		ASSERT_EQ(row.size(), 6u);
		runs += row[3] == "1" && !black;
		black = row[3] == "1";
		sent += std::stoi(row[5]);
	}
	EXPECT_EQ(runs, 2);
	EXPECT_EQ(sent, 2);

	EXPECT_EQ(RunTool("xmllint", { "--noout", plot }).exitStatus, 0) << "the plot is not well-formed XML";
	std::stringstream svg;
	svg << std::ifstream(plot).rdbuf();
	const std::string text = svg.str();
	std::size_t markers = 0;
	for (auto at = text.find("class=\"message\""); at != std::string::npos; at = text.find("class=\"message\"", at + 1))
		++markers;
	EXPECT_EQ(markers, 2u);
	std::remove(trace.c_str());
	std::remove(plot.c_str());
}

// calibrate reads the frames in memory, the module reads what it drew: both
// take the same samples, so every frame's brightest luma agrees.
TEST_F(RunWatchGLTest, CalibrateMeasuresWhatTheModuleMeasures)
{
	const std::string clip = ClipFile(
		"clip", "testsrc2=s=160x90:r=30:d=0.5[a];color=c=0x101010:s=160x90:r=30:d=0.3[b];[a][b]concat=n=2:v=1");
	const std::string runTrace = Temp("run.csv");
	const std::string calibrateTrace = Temp("calibrate.csv");
	ASSERT_EQ(RunTool(FFGL_HOST_PATH,
				  { "run", GUARD_MODULE_PATH, "--unpaced", "--size", "160x90", "--input", clip, "--listen",
					  std::to_string(FreePort()), "--trace", runTrace })
				  .exitStatus,
		0);
	RunTool(FFGL_HOST_PATH,
		{ "calibrate", "--live", clip, "--dropout", clip, "--size", "160x90", "--trace", calibrateTrace });
	const auto module = Rows(runTrace);
	const auto calibrated = Rows(calibrateTrace);
	ASSERT_EQ(module.size(), 24u);
	ASSERT_GE(calibrated.size(), module.size());
	for (std::size_t i = 0; i < module.size(); ++i)
		EXPECT_EQ(module[i][2], calibrated[i][2]) << "frame " << i;
	for (const std::string& path : { clip, runTrace, calibrateTrace })
		std::remove(path.c_str());
}

TEST_F(RunWatchGLTest, NamesWhatWouldMisleadAUser)
{
	const std::string wide = ClipFile("wide", "testsrc2=s=640x360:r=30:d=0.1", 640, 360);
	const std::string limited = ClipFile("limited", "color=c=0x101010:s=160x90:r=30:d=0.5");
	std::stringstream wideFrames;
	wideFrames << std::ifstream(wide, std::ios::binary).rdbuf();
	const int busy = FreePort();
	UdpReceiver holder(static_cast<std::uint16_t>(busy));
	const std::string listen = std::to_string(FreePort());
	const struct
	{
		std::vector<std::string> options;
		std::string input;
		int status;
		const char* says;
	} cases[] = {
		{ { "--input", wide, "--size", "100x100" }, "", 4, "not a whole number of raw RGBA frames of 100x100" },
		{ { "--input", "-", "--size", "320x180" }, wideFrames.str(), 0, "rows line up at a width of 640 pixels" },
		{ { "--input", limited, "--set", "Black Hold=0", "--listen", listen }, "", 0, "Black Threshold=0.252000" },
		{ { "--frames", "150", "--listen", listen }, "", 0, "the run was unpaced" },
		{ { "--set", PortSlider(busy) }, "", 4, "--listen " },
	};
	for (const auto& c : cases)
	{
		std::vector<std::string> args = { "run", GUARD_MODULE_PATH, "--unpaced", "--size", "160x90" };
		args.insert(args.end(), c.options.begin(), c.options.end());
		const ToolResult result = RunTool(FFGL_HOST_PATH, args, c.input);
		EXPECT_EQ(result.exitStatus, c.status) << c.says << ": " << result.err;
		EXPECT_THAT(result.out + result.err, HasSubstr(c.says));
	}
	std::remove(wide.c_str());
	std::remove(limited.c_str());
}

} // namespace
