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
// workingDirectory (empty: the current one). Fails the calling test through
// ADD_FAILURE when the program cannot be started.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
	const std::string& standardInput = {}, const std::string& workingDirectory = {});

// Whether the environment says CI=true: there a missing tool or module fails a
// test instead of skipping it.
bool OnCI();

// A module of this build's tests (STAND_IN_DIR) or examples
// (EXAMPLE_MODULE_DIR; "" when the examples are left out).
std::string StandIn(const std::string& name);
std::string Example(const std::string& name);
