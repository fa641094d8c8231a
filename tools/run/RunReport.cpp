#include "tools/run/RunReport.h"

#include "tools/Command.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ostream>

namespace ffgltool
{
namespace
{

// A progress line goes to stderr after this long without any other output.
constexpr auto kQuietInterval = std::chrono::seconds(5);

double Seconds(RunReport::Clock::duration duration)
{
	return std::chrono::duration<double>(duration).count();
}

std::string Fixed(double value, int decimals)
{
	char text[48];
	std::snprintf(text, sizeof text, "%.*f", decimals, value);
	return text;
}

// At most the given decimals, without trailing zeros: 30 fps, 3.5%.
std::string Number(double value, int decimals)
{
	std::string shown = Fixed(value, decimals);
	if (shown.find('.') != std::string::npos)
	{
		shown.erase(shown.find_last_not_of('0') + 1);
		if (shown.back() == '.')
			shown.pop_back();
	}
	return shown;
}

std::string Plural(std::uint64_t count, const std::string& noun)
{
	return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

} // namespace

void RunReport::PrintHeader(const Header& header)
{
	out << "Running " << header.modulePath << " (\"" << header.name << "\", " << (header.source ? "source" : "effect")
		<< ") at " << header.size << ", " << Number(header.fps, 3) << " fps"
		<< (header.paced ? " in real time" : " unpaced");
	if (header.limit != 0)
		out << ", " << header.limit << " frames";
	out << '\n';
	out << "Renderer      " << header.renderer << '\n';
	out << "Input         " << header.input << (header.feedsInput ? "" : " (a source: no input texture)") << '\n';
	if (!header.parameterNames.empty())
	{
		out << "Parameters    ";
		for (std::size_t i = 0; i < header.parameterNames.size(); ++i)
			out << (i > 0 ? ", " : "") << header.parameterNames[i] << " " << header.displays[i];
		out << '\n';
	}
	rules.clear();
	for (const WatchRule& rule : header.rules)
	{
		// "Black         ": the rule's name, capitalised, in the column of labels.
		std::string label = rule.name;
		label[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(label[0])));
		label.resize(std::max<std::size_t>(label.size() + 1, 14), ' ');
		out << label << rule.description << '\n';
		rules.push_back({ rule.name });
	}
	if (rules.empty())
		out << "Rules         none: run knows no watch of this module, so it follows frames, times and OSC messages "
			   "only\n";
	if (header.port != 0)
		out << "OSC           listening on 127.0.0.1:" << header.port << '\n';
	else
		out << "OSC           not listening: the module has no \"OSC Port\" parameter (use --listen PORT)\n";
	out << std::flush;
}

void RunReport::Start(Clock::time_point now)
{
	start = now;
	lastOutput = now;
}

void RunReport::Judged(std::uint64_t n, const ModuleWatch::Verdicts& verdicts, Clock::time_point now)
{
	for (std::size_t r = 0; r < rules.size(); ++r)
	{
		RuleRuns& rule = rules[r];
		const bool judged = verdicts.rules[r].judged;
		if (judged && !rule.in)
		{
			++rule.runs;
			rule.since = now;
			Line(n, now, rule.name + " begins");
		}
		else if (!judged && rule.in)
			Line(n, now, "picture again after " + Fixed(Seconds(now - rule.since), 3) + " s of " + rule.name);
		rule.in = judged;
	}
}

void RunReport::Refused(std::uint64_t n)
{
	if (refused++ == 0)
		err << kProgramName << ": warning: the module refused frame " << n
			<< " (code 17 answered FF_FAIL); further refusals are only counted\n"
			<< std::flush;
}

void RunReport::Received(std::uint64_t n, const std::vector<std::string>& texts, Clock::time_point now)
{
	for (const std::string& text : texts)
	{
		++messages;
		Line(n, now, text);
	}
}

void RunReport::Progress(std::uint64_t n, std::uint64_t limit, Clock::time_point now)
{
	if (now - lastOutput < kQuietInterval)
		return;
	err << kProgramName << ": frame " << n << (limit != 0 ? " of " + std::to_string(limit) : "") << ", "
		<< Number(Seconds(now - start), 1) << " s" << RunCounts() << ", " << Plural(messages, "OSC message") << '\n'
		<< std::flush;
	lastOutput = now;
}

void RunReport::PrintSummary(std::uint64_t frames, Clock::time_point now)
{
	out << "Summary       " << Plural(frames, "frame") << " in " << Fixed(Seconds(now - start), 3) << " s"
		<< RunCounts() << ", " << Plural(messages, "OSC message") << " received";
	if (refused != 0)
		out << ", " << Plural(refused, "frame") << " refused by the module (code 17 answered FF_FAIL)";
	out << '\n' << std::flush;
}

void RunReport::NoteSilence(bool paced, const std::vector<std::string>& timed)
{
	std::uint64_t runs = 0;
	for (const RuleRuns& rule : rules)
		runs += rule.runs;
	if (runs == 0 || messages != 0)
		return;
	std::string settings;
	for (std::size_t i = 0; i < timed.size(); ++i)
		settings += (i == 0 ? "" : i + 1 == timed.size() ? " and " : ", ") + ("\"" + timed[i] + "=0\"");
	out << "Note          " << RunCounts().substr(2) << " but no OSC message: "
		<< (paced ? "the runs may be shorter than the plug-in's hold, or it sends to another port than the one "
					"listened on"
				  : "the run was unpaced, so the plug-in's clock saw far less time than the frames cover; set " +
					   settings + " for unpaced runs")
		<< '\n'
		<< std::flush;
}

void RunReport::Warn(const std::string& text)
{
	err << kProgramName << ": warning: " << text << '\n' << std::flush;
}

std::string RunReport::RunCounts() const
{
	std::string counts;
	for (const RuleRuns& rule : rules)
		counts += ", " + Plural(rule.runs, rule.name + " run");
	return counts;
}

void RunReport::Line(std::uint64_t n, Clock::time_point now, const std::string& text)
{
	char prefix[64];
	std::snprintf(
		prefix, sizeof prefix, "frame %6llu %9.3f s  ", static_cast<unsigned long long>(n), Seconds(now - start));
	out << prefix << text << '\n' << std::flush;
	lastOutput = now;
}

} // namespace ffgltool
