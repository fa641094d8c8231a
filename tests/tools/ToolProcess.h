// Runs a program as a child process and collects what it wrote and how it
// ended, with standard output and standard error kept apart.
#pragma once

#include <string>
#include <vector>

struct ToolResult
{
	bool exited = false; // ended through exit (not killed by a signal)
	int exitStatus = -1; // valid when exited
	int signal = 0;      // valid when !exited
	std::string out;
	std::string err;
};

// Runs program with args (argv[1] onwards) and standardInput as its whole
// standard input, in workingDirectory (empty: the current one). Fails the
// calling test through ADD_FAILURE when the program cannot be started.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
	const std::string& standardInput = {}, const std::string& workingDirectory = {});

// Whether the environment says CI=true: there a missing GL context or module
// fails a test instead of skipping it.
bool OnCI();
