#include "tools/Command.h"

#include <ostream>

namespace ffgltool
{

void PrintError(std::ostream& err, const std::string& message)
{
	std::string line = message;
	for (char& c : line)
		if (c == '\n' || c == '\r')
			c = ' ';
	err << kProgramName << ": error: " << line << '\n' << std::flush;
}

} // namespace ffgltool
