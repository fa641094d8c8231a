// Runs ffgl-host (or any program) as a child process and collects what it
// wrote and how it ended, standard output and standard error kept apart.
#pragma once

#include <string>
#include <vector>

struct ToolResult
{
	int exitStatus = -1; // -1 when killed by a signal
	std::string out;
	std::string err;
};

// Runs program with args and standardInput as its whole standard input, in
// workingDirectory (empty: the current one). Fails the calling test when the
// program cannot be started.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
	const std::string& standardInput = {}, const std::string& workingDirectory = {});

// Whether CI=true: there a missing tool or module fails a test, not skips it.
bool OnCI();

// The stand-in module loaded as the given kind (STAND_IN_DIR/StandIn<kind>.so),
// or an example module ("" when this build leaves the examples out).
std::string StandIn(const std::string& kind);
std::string Example(const std::string& name);
