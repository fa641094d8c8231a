#include "ffglex/Log.h"

#include <cstdio>

namespace ffglex
{
void Log(const std::string& message)
{
	// One formatted write of the whole line, so that lines from different
	// sources do not interleave mid-message; the text goes through "%s" so that
	// a percent sign in a driver's info log is printed as it is.
	const std::string line = message + "\n";
	std::printf("%s", line.c_str());
}

} // namespace ffglex
