#include "tests/tools/ToolProcess.h"

#include "tests/support/Clips.h"
#include "tests/support/PluginPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace
{
std::string Quoted(const std::string& text)
{
	std::string quoted = "'";
	for (char c : text)
		quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
	return quoted + "'";
}

} // namespace

// The shell only sets up the streams and the directory: `exec` makes the
// program its own process, so that a signal ends it without a shell's status.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args, const std::string& standardInput,
	const std::string& workingDirectory)
{
	const std::string streams = TempPath("tool");
	std::ofstream(streams + ".in", std::ios::binary) << standardInput;
	std::string command =
		(workingDirectory.empty() ? "exec " : "cd " + Quoted(workingDirectory) + " && exec ") + Quoted(program);
	for (const std::string& arg : args)
		command += " " + Quoted(arg);
	const int status =
		std::system((command + " <" + streams + ".in >" + streams + ".out 2>" + streams + ".err").c_str());
	EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 127) << "cannot start " << program;
	ToolResult result;
	result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	result.out = FileContents(streams + ".out");
	result.err = FileContents(streams + ".err");
	return result;
}

ToolResult RunFfglHost(
	const std::vector<std::string>& args, const std::string& standardInput, const std::string& workingDirectory)
{
	return RunTool(FFGL_HOST_PATH, args, standardInput, workingDirectory);
}

void ExpectOneErrorLine(const ToolResult& result, int exitStatus, const std::string& errorRegex)
{
	EXPECT_EQ(result.exitStatus, exitStatus) << result.err;
	EXPECT_THAT(result.err, ::testing::MatchesRegex("ffgl-host: error: " + errorRegex + "\n"));
	EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "more than one line";
}

std::string StandIn(const std::string& kind)
{
	return std::string(STAND_IN_DIR) + "/StandIn" + kind + ".so";
}

std::string Example(const std::string& name)
{
#ifdef EXAMPLE_MODULE_DIR
	return std::string(EXAMPLE_MODULE_DIR) + "/" + name + ".so";
#else
	return name.substr(0, 0);
#endif
}

std::string FileContents(const std::string& path)
{
	std::ifstream file(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string TempPath(const std::string& name)
{
	return ::testing::TempDir() + "tools-" + std::to_string(getpid()) + "-" + name;
}

std::string ClipFile(const std::string& name, const std::string& graph, int width, int height)
{
	std::string error;
	const tests::Clip clip = tests::MakeClip(graph, width, height, error);
	EXPECT_FALSE(clip.frames.empty()) << error;
	std::ofstream file(TempPath(name), std::ios::binary);
	for (const auto& frame : clip.frames)
		file.write(reinterpret_cast<const char*>(frame.data()), static_cast<std::streamsize>(frame.size()));
	return TempPath(name);
}

ToolResult RunFfglHostOnFreePort(std::vector<std::string> args, const std::string& standardInput)
{
	args.insert(args.end(), { "--set", "" });
	for (int attempt = 1;; ++attempt)
	{
		const int chosen = PluginPortReceiver()->Port(); // let go for ffgl-host
		args.back() = "OSC Port=" + std::to_string(OscPortSlider(chosen));
		ToolResult result = RunFfglHost(args, standardInput);
		result.oscPort = chosen;
		if (attempt == 5 ||
			result.err.find(":" + std::to_string(chosen) + ": Address already in use") == std::string::npos)
			return result;
	}
}
