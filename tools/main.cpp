// ffgl-host: a headless host for plug-in modules.
//
// Each subcommand is one entry of kCommands; adding one means writing its
// Run function and listing it here.
#include "tools/Command.h"
#include "tools/SendCommand.h"
#include "tools/calibrate/CalibrateCommand.h"
// Where the headless host cannot load modules (Windows), it keeps the commands
// that need neither a module nor GL.
#ifndef TENEBRIXOR_HOST_WITHOUT_MODULES
#include "tools/CrashGuard.h"
#include "tools/InfoCommand.h"
#include "tools/run/RunCommand.h"
#include "tools/validate/ValidateCommand.h"
#endif

#include <algorithm>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace
{

using ffgltool::Command;

const Command kCommands[] = {
#ifndef TENEBRIXOR_HOST_WITHOUT_MODULES
	{ "info", "MODULE", "print the identity, capabilities and parameters a host sees", ffgltool::RunInfoCommand },
	{ "run", "MODULE [OPTIONS]", "drive the module frame by frame and show its OSC messages (run --help)",
		ffgltool::RunRunCommand },
	{ "validate", "[--json] MODULE", "check that a module answers a host as FFGL 2.1 asks (conformance)",
		ffgltool::RunValidateCommand },
#endif
	{ "calibrate", "--live FILE --dropout FILE --size WxH",
		"find a source's black threshold and holds (calibrate --help)", ffgltool::RunCalibrateCommand },
	{ "send", "--port P --layer N", "send one next-clip message, to check that the host switches the layer",
		ffgltool::RunSendCommand },
};

void PrintUsage(std::ostream& stream)
{
	stream << "usage: " << ffgltool::kProgramName << " COMMAND [ARGUMENTS]\n\nCommands:\n";
	std::size_t width = 0;
	for (const Command& command : kCommands)
		width = std::max(width, std::strlen(command.name) + 1 + std::strlen(command.arguments));
	for (const Command& command : kCommands)
	{
		const std::string call = std::string(command.name) + " " + command.arguments;
		stream << "  " << call << std::string(width - call.size() + 2, ' ') << command.summary << '\n';
	}
	stream << "\nExit status: 0 success, 1 the module cannot be loaded or answers nonsense, "
			  "2 wrong usage, 3 the module crashed, 4 a run could not go on or validate's GL "
			  "checks could not run (no GL context).\n";
}

} // namespace

int main(int argc, char** argv)
{
#ifndef TENEBRIXOR_HOST_WITHOUT_MODULES
	ffgltool::CrashGuard::Install(ffgltool::kProgramName);
#endif

	if (argc < 2)
	{
		ffgltool::PrintError(std::cerr, "no command given (try 'ffgl-host --help')");
		return ffgltool::kExitUsage;
	}
	const std::string name = argv[1];
	if (name == "--version")
	{
		std::cout << ffgltool::kProgramName << " " << TENEBRIXOR_VERSION << '\n';
		return ffgltool::kExitSuccess;
	}
	if (name == "-h" || name == "--help" || name == "help")
	{
		PrintUsage(std::cout);
		return ffgltool::kExitSuccess;
	}

	for (const Command& command : kCommands)
	{
		if (name == command.name)
		{
			try
			{
				const std::vector<std::string> args(argv + 2, argv + argc);
				return command.run(args, std::cout, std::cerr);
			}
			catch (const std::exception& error)
			{
				// Memory exhaustion, above all (a huge --size): one line, not an abort.
				std::cout.flush();
				ffgltool::PrintError(std::cerr, std::string(command.name) + " cannot go on: " + error.what());
				return ffgltool::kExitRunError;
			}
		}
	}
	ffgltool::PrintError(std::cerr, "unknown command '" + name + "' (try 'ffgl-host --help')");
	return ffgltool::kExitUsage;
}
