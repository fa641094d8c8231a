// RunOptions: the command line of `ffgl-host run`, parsed, and RunError, how
// any part of a run ends it with one error line and an exit status.
#pragma once

#include "tools/CommandLine.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ffgltool
{

// Ends the run with one error line (the message) and an exit status.
class RunError : public std::runtime_error
{
public:
	RunError(int status, const std::string& message) : std::runtime_error(message), status(status) {}
	int Status() const { return status; }

private:
	int status;
};

struct Setting
{
	std::string name;
	std::string value;
};

struct RunOptions
{
	std::string modulePath;
	int width = 640;
	int height = 360;
	double fps = 30.0;
	bool paced = true;
	std::optional<std::uint64_t> frames;
	std::optional<double> seconds;
	std::vector<Setting> settings;
	// "synthetic", "synthetic-still", "-" (standard input) or a file's path.
	std::string input = "synthetic";
	std::optional<int> listenPort;
	std::string tracePath; // empty: no trace
	std::string plotPath;  // empty: no plot
};

// Reads the command line of `ffgl-host run` as CommandLine::Read does: nothing
// when the run goes on, else the exit status after the help or the error line.
std::optional<int> ReadRunOptions(
	const std::vector<std::string>& args, RunOptions& options, std::ostream& out, std::ostream& err);

// --size WxH (each 1 to 16384) and --fps N (above 0, up to 1000), as run and
// calibrate take them.
void AddSizeOption(CommandLine& line, int& width, int& height, CommandLine::Kind kind = CommandLine::Optional);
void AddFpsOption(CommandLine& line, double& fps);

// A decimal whole number of at most max, digits only.
bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t& value);
// A finite real number, the whole text, no leading space.
bool ParseReal(const std::string& text, double& value);

} // namespace ffgltool
