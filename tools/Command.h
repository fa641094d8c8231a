// The subcommands of ffgl-host and what they share: their table entry, exit
// statuses and the one-line error format.
//
// A subcommand receives the arguments after its name and writes its report to
// out and any error, as exactly one line, to err. It returns the exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ffgltool
{

constexpr const char* kProgramName = "ffgl-host";

constexpr int kExitSuccess = 0;
// The module could not be loaded, is not a plug-in, or answered nonsense.
constexpr int kExitModuleError = 1;
constexpr int kExitUsage = 2;
// CrashGuard::kExitStatus (3): the module crashed.
// A run could not go on: no GL context, a busy port, broken input frames, a
// kind of module that cannot be run; or validate's GL checks could not run.
constexpr int kExitRunError = 4;

struct Command
{
	using Function = int (*)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

	const char* name;
	const char* arguments; // as shown in the usage text, e.g. "MODULE"
	const char* summary;
	Function run;
};

// Writes "ffgl-host: error: <message>" as one line: line breaks inside the
// message become spaces.
void PrintError(std::ostream& err, const std::string& message);

} // namespace ffgltool
