// CommandLine: how every ffgl-host command reads its arguments, by one rule
// (the parsing is CLI11's, kept inside CommandLine.cpp).
//
// "--help" or "-h" anywhere shows the command's help and ends it with
// kExitSuccess before anything else is looked at. Any fault ends it with
// kExitUsage after one error line that names what is wrong: a word that is no
// option ("unknown option '--colour'"), a positional word too many, an option
// without its value, a value the option refuses ("--fps takes ..., not '0'"),
// a required option or positional missing (the usage line). An option given
// twice keeps its last value unless it is repeatable.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI
{
class App;
}

namespace ffgltool
{

class CommandLine
{
public:
	// name: the command ("run"). help: its help text, whose first line is its
	// usage ("usage: ffgl-host run MODULE [OPTIONS]"). The help must outlive
	// the CommandLine.
	CommandLine(std::string name, const char* help);
	~CommandLine();
	CommandLine(const CommandLine&) = delete;
	CommandLine& operator=(const CommandLine&) = delete;

	enum Kind
	{
		Optional,
		Required,
		Repeatable // may be given any number of times, each value accepted in turn
	};

	// A required positional word, such as "MODULE".
	void Positional(const std::string& name, std::string& value);
	void Flag(const std::string& name, bool& value);
	void Text(const std::string& name, std::string& value, Kind kind = Optional);
	// accept reads and stores a value, and answers false for one it refuses:
	// the command then ends with "<name> takes <takes>, not '<value>'".
	void Checked(const std::string& name, const std::string& takes, std::function<bool(const std::string&)> accept,
		Kind kind = Optional);

	// Reads args into the values the options above are bound to. Nothing when
	// the command goes on; else the exit status it ends with, the help or the
	// error line written.
	std::optional<int> Read(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

private:
	std::string name;
	const char* help;
	std::unique_ptr<CLI::App> app;
};

} // namespace ffgltool
