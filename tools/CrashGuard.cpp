#include "tools/CrashGuard.h"

#include "tools/PluginModule.h"

#include <signal.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace ffgltool
{
namespace
{

const char* s_programName = "ffgl-host";

// Only async-signal-safe calls from here on: no stdio, no allocation.
void Append(char* buffer, std::size_t capacity, std::size_t& length, const char* text)
{
	while (*text != '\0' && length + 1 < capacity)
		buffer[length++] = *text++;
}

void AppendNumber(char* buffer, std::size_t capacity, std::size_t& length, unsigned int value)
{
	char digits[12];
	std::size_t count = 0;
	do
	{
		digits[count++] = static_cast<char>('0' + value % 10);
		value /= 10;
	} while (value != 0);
	while (count > 0 && length + 1 < capacity)
		buffer[length++] = digits[--count];
}

const char* SignalName(int signal)
{
	switch (signal)
	{
	case SIGSEGV:
		return "SIGSEGV";
	case SIGBUS:
		return "SIGBUS";
	case SIGILL:
		return "SIGILL";
	case SIGFPE:
		return "SIGFPE";
	case SIGABRT:
		return "SIGABRT";
	default:
		return "signal";
	}
}

void OnFatalSignal(int signal)
{
	const int code = PluginModule::CodeInFlight();
	if (code == PluginModule::kNoCall)
	{
		// Not the module's fault: let the default action run (core dump).
		struct sigaction action
		{
		};
		action.sa_handler = SIG_DFL;
		sigemptyset(&action.sa_mask);
		sigaction(signal, &action, nullptr);
		raise(signal);
		return;
	}

	char line[160];
	std::size_t length = 0;
	Append(line, sizeof line, length, s_programName);
	Append(line, sizeof line, length, ": error: the module crashed (");
	Append(line, sizeof line, length, SignalName(signal));
	if (code == PluginModule::kOutsidePlugMain)
	{
		Append(line, sizeof line, length, ") outside plugMain (loading, unloading or SetLogCallback)");
	}
	else
	{
		Append(line, sizeof line, length, ") in plugMain code ");
		AppendNumber(line, sizeof line, length, static_cast<unsigned int>(code));
	}
	line[length++] = '\n';
	ssize_t written = write(STDERR_FILENO, line, length);
	(void)written;
	_exit(CrashGuard::kExitStatus);
}

} // namespace

void CrashGuard::Install(const char* programName)
{
	s_programName = programName;

	static char alternateStack[64 * 1024];
	stack_t stack{};
	stack.ss_sp = alternateStack;
	stack.ss_size = sizeof alternateStack;
	sigaltstack(&stack, nullptr);

	struct sigaction action
	{
	};
	action.sa_handler = OnFatalSignal;
	action.sa_flags = SA_ONSTACK;
	sigemptyset(&action.sa_mask);
	for (int signal : { SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT })
		sigaction(signal, &action, nullptr);
}

} // namespace ffgltool
