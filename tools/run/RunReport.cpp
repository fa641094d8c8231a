#include "tools/run/RunReport.h"

#include "tools/Command.h"
#include "tools/run/SuggestedThreshold.h"

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
	out << "Black         brightest of 25 grid points of the output at or below " << ThresholdDisplay(header.threshold)
		<< " luma\n";
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

void RunReport::Judged(std::uint64_t n, bool black, Clock::time_point now)
{
	if (black && !inBlack)
	{
		++blackRuns;
		blackSince = now;
		Line(n, now, "black begins");
	}
	else if (!black && inBlack)
		Line(n, now, "picture again after " + Fixed(Seconds(now - blackSince), 3) + " s of black");
	inBlack = black;
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
		<< Number(Seconds(now - start), 1) << " s, " << Plural(blackRuns, "black run") << ", "
		<< Plural(messages, "OSC message") << '\n'
		<< std::flush;
	lastOutput = now;
}

void RunReport::PrintSummary(std::uint64_t frames, Clock::time_point now)
{
	out << "Summary       " << Plural(frames, "frame") << " in " << Fixed(Seconds(now - start), 3) << " s, "
		<< Plural(blackRuns, "black run") << ", " << Plural(messages, "OSC message") << " received";
	if (refused != 0)
		out << ", " << Plural(refused, "frame") << " refused by the module (code 17 answered FF_FAIL)";
	out << '\n' << std::flush;
}

void RunReport::NoteSilence(bool paced)
{
	if (blackRuns == 0 || messages != 0)
		return;
	out << "Note          " << Plural(blackRuns, "black run") << " but no OSC message: "
		<< (paced ? "the runs may be shorter than the plug-in's hold, or it sends to another port than the one "
					"listened on"
				  : "the run was unpaced, so the plug-in's clock saw far less time than the frames cover; set "
					"\"Black Hold=0\" and \"Recovery=0\" for unpaced runs")
		<< '\n'
		<< std::flush;
}

void RunReport::Warn(const std::string& text)
{
	err << kProgramName << ": warning: " << text << '\n' << std::flush;
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
