// ffgl-host: a headless host for plug-in modules.
//
// Each subcommand is one entry of kCommands; adding one means writing its
// Run function and listing it here.
#include "tools/Command.h"
#include "tools/CrashGuard.h"
#include "tools/InfoCommand.h"
#include "tools/RunCommand.h"
#include "tools/ValidateCommand.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace
{

using ffgltool::Command;

const Command kCommands[] = {
	{"info", "MODULE", "print the identity, capabilities and parameters a host sees", ffgltool::RunInfoCommand},
	{"run", "MODULE [OPTIONS]", "drive the module frame by frame and show its OSC messages (run --help)", ffgltool::RunRunCommand},
	{"validate", "[--json] MODULE", "check that a module answers a host as FFGL 2.1 asks (conformance)", ffgltool::RunValidateCommand},
};

void PrintUsage(std::ostream& stream)
{
	stream << "usage: " << ffgltool::kProgramName << " COMMAND [ARGUMENTS]\n\nCommands:\n";
	for (const Command& command : kCommands)
	{
		const std::string call = std::string(command.name) + " " + command.arguments;
		stream << "  " << call << std::string(call.size() < 20 ? 20 - call.size() : 1, ' ') << command.summary << '\n';
	}
	stream << "\nExit status: 0 success, 1 the module cannot be loaded or answers nonsense, "
	          "2 wrong usage, 3 the module crashed, 4 a run could not go on.\n";
}

} // namespace

int main(int argc, char** argv)
{
	ffgltool::CrashGuard::Install(ffgltool::kProgramName);

	if (argc < 2)
	{
		ffgltool::PrintError(std::cerr, "no command given (try 'ffgl-host --help')");
		return ffgltool::kExitUsage;
	}
	const std::string name = argv[1];
	if (name == "-h" || name == "--help" || name == "help")
	{
		PrintUsage(std::cout);
		return ffgltool::kExitSuccess;
	}

	for (const Command& command : kCommands)
	{
		if (name == command.name)
		{
			const std::vector<std::string> args(argv + 2, argv + argc);
			return command.run(args, std::cout, std::cerr);
		}
	}
	ffgltool::PrintError(std::cerr, "unknown command '" + name + "' (try 'ffgl-host --help')");
	return ffgltool::kExitUsage;
}
