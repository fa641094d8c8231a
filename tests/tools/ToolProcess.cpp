#include "tests/tools/ToolProcess.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
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

std::string Contents(const std::string& path)
{
	std::ifstream file(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

// The shell only sets up the streams and the directory: `exec` makes the
// program its own process, so that a signal ends it without a shell's status.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args, const std::string& standardInput,
	const std::string& workingDirectory)
{
	const std::string streams = ::testing::TempDir() + "tool-" + std::to_string(getpid());
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
	result.out = Contents(streams + ".out");
	result.err = Contents(streams + ".err");
	return result;
}

bool OnCI()
{
	const char* ci = std::getenv("CI");
	return ci != nullptr && std::strcmp(ci, "true") == 0;
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
