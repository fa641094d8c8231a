#include "tools/CommandLine.h"

#include "tools/Command.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>

namespace ffgltool
{

CommandLine::CommandLine(std::string name, const char* help) : name(std::move(name)), help(help), app(new CLI::App)
{
	// Help is looked for before parsing, so that it wins over any fault; words
	// CLI11 does not know are kept, to be named in our own words.
	app->set_help_flag();
	app->allow_extras();
	app->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

CommandLine::~CommandLine() = default;

void CommandLine::Positional(const std::string& positional, std::string& value)
{
	app->add_option(positional, value)->required();
}

void CommandLine::Flag(const std::string& flag, bool& value)
{
	app->add_flag(flag, value);
}

void CommandLine::Text(const std::string& option, std::string& value, Kind kind)
{
	app->add_option(option, value)->required(kind == Required);
}

void CommandLine::Checked(
	const std::string& option, const std::string& takes, std::function<bool(const std::string&)> accept, Kind kind)
{
	const auto check = [option, takes, accept](const std::vector<std::string>& values)
	{
		for (const std::string& value : values)
			if (!accept(value))
				throw CLI::ValidationError(option + " takes " + takes + ", not '" + value + "'");
	};
	// One value a time: a word after the value is the next argument, not a second value.
	CLI::Option* added = app->add_option_function<std::vector<std::string>>(option, check)->allow_extra_args(false);
	if (kind == Required)
		added->required();
	if (kind == Repeatable)
		added->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

std::optional<int> CommandLine::Read(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	if (std::find(args.begin(), args.end(), "--help") != args.end() ||
		std::find(args.begin(), args.end(), "-h") != args.end())
	{
		out << help << std::flush;
		return kExitSuccess;
	}
	const std::string hint = " (try '" + std::string(kProgramName) + " " + name + " --help')";
	const std::string usage = std::string(help, std::find(help, help + std::char_traits<char>::length(help), '\n'));
	std::string problem;
	try
	{
		app->parse(std::vector<std::string>(args.rbegin(), args.rend())); // CLI11 takes the words last first
	}
	catch (const CLI::RequiredError&)
	{
		problem = usage + hint;
	}
	catch (const CLI::ArgumentMismatch&)
	{
		// Each option takes one value an occurrence and no repeat is refused,
		// so CLI11 throws this only when the words run out before an option's
		// value: the option is the last word.
		problem = "option " + args.back() + " needs a value" + hint;
	}
	catch (const CLI::ValidationError& error)
	{
		problem = error.what(); // a refused value: Checked's whole message
	}
	catch (const CLI::ParseError& error)
	{
		problem = error.what() + hint; // such as a flag given a value that is no truth value
	}
	// A word nobody took is named before anything it may have caused.
	const std::vector<std::string> unknown = app->remaining();
	if (!unknown.empty() && unknown.front().size() > 1 && unknown.front()[0] == '-')
		problem = "unknown option '" + unknown.front() + "'" + hint;
	else if (!unknown.empty())
		problem = usage + ": unexpected argument '" + unknown.front() + "'" + hint;
	if (problem.empty())
		return std::nullopt;
	out << std::flush;
	PrintError(err, problem);
	return kExitUsage;
}

} // namespace ffgltool
