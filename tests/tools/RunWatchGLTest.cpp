// What `ffgl-host run` shows of a watching plug-in: the module's measure
// equals calibrate's on the same footage, and footage that would mislead a user
// is named.
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
	const std::string listen = std::to_string(FreePort());
	const struct
	{
		std::vector<std::string> options;
		std::string input;
		int status;
		const char* says;
	} cases[] = {
		{ { "--input", "-", "--size", "320x180" }, wideFrames.str(), 0, "rows line up at a width of 640 pixels" },
		{ { "--input", limited, "--set", "Black Hold=0", "--listen", listen }, "", 0, "Black Threshold=0.252000" },
		{ { "--frames", "150", "--listen", listen }, "", 0, "the run was unpaced" },
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
