// Runs ffgl-host (or any program) as a child process and collects what it
// wrote and how it ended, standard output and standard error kept apart; and
// the files and ports the tests of its commands hand it.
#pragma once

#include <string>
#include <vector>

struct ToolResult
{
	int exitStatus = -1; // -1 when killed by a signal
	std::string out;
	std::string err;
	int oscPort = 0; // where RunFfglHostOnFreePort had the module send
};

// Runs program with args and standardInput as its whole standard input, in
// workingDirectory (empty: the current one). Fails the calling test when the
// program cannot be started.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
	const std::string& standardInput = {}, const std::string& workingDirectory = {});

// RunTool on the ffgl-host of this build.
ToolResult RunFfglHost(const std::vector<std::string>& args, const std::string& standardInput = {},
	const std::string& workingDirectory = {});

// Fails the calling test unless result ended with exitStatus and exactly one
// line "ffgl-host: error: <errorRegex>" on standard error.
void ExpectOneErrorLine(const ToolResult& result, int exitStatus, const std::string& errorRegex);

// The stand-in module loaded as the given kind (STAND_IN_DIR/StandIn<kind>.so),
// or an example module ("" when this build leaves the examples out).
std::string StandIn(const std::string& kind);
std::string Example(const std::string& name);

// The whole file, "" when it cannot be read.
std::string FileContents(const std::string& path);

// A path of this test process in the temporary folder.
std::string TempPath(const std::string& name);

// A file of raw RGBA frames made by ffmpeg from a source graph (TempPath(name)).
std::string ClipFile(const std::string& name, const std::string& graph, int width = 160, int height = 90);

// RunFfglHost with --set "OSC Port=<slider>" added for a free port of the
// plug-ins' range, where the module sends and run listens; run again on another
// port when another process took it before run could bind it.
ToolResult RunFfglHostOnFreePort(std::vector<std::string> args, const std::string& standardInput = {});
