// Runs a program as a child process and collects what it wrote and how it
// ended, with standard output and standard error kept apart.
#pragma once

#include <string>
#include <vector>

struct ToolResult
{
	bool exited = false;   // ended through exit (not killed by a signal)
	int exitStatus = -1;   // valid when exited
	int signal = 0;        // valid when !exited
	std::string out;
	std::string err;
};

// Runs program with args (argv[1] onwards) in workingDirectory (empty: the
// current one). Fails the calling test through ADD_FAILURE when the program
// cannot be started.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workingDirectory = "");

// The same, with standardInput written to the program's standard input, which
// is then closed. A program that stops reading early loses the rest.
ToolResult RunToolWithInput(const std::string& program, const std::vector<std::string>& args,
                            const std::string& standardInput);
