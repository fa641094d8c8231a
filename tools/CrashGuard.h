// CrashGuard: a fault inside a loaded module becomes a one-line report.
//
// A host that runs foreign code cannot stop it from crashing, but it can say
// where: while a module call is in flight (PluginModule::CodeInFlight), a
// fatal signal writes "<program>: error: the module crashed (<signal>) in
// plugMain code N" (or "outside plugMain" for the module's load, unload and
// SetLogCallback) to stderr and ends the process with kExitStatus. A fault
// outside any module call is the tool's own and takes the default action, so
// it is not mistaken for the module's.
#pragma once

namespace ffgltool
{

class CrashGuard
{
public:
	static constexpr int kExitStatus = 3;

	// Installs the handlers for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT on
	// an alternate stack, so that a module that overflows its stack is also
	// reported. programName must stay valid for the life of the process.
	static void Install(const char* programName);
};

} // namespace ffgltool
