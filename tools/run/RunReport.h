// RunReport: what `ffgl-host run` prints while it runs: the header, one line
// per event (a run of one of the module's rules beginning or ending, "black
// begins", "still begins"; an OSC message) with the frame number and the time
// since the first frame, a progress line on standard error after 5 s without
// other output, and the summary with the runs of each rule.
//
// Every call takes the clock reading it reports against; the report keeps no
// clock of its own.
#pragma once

#include "tools/run/ModuleWatch.h"

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace ffgltool
{

class RunReport
{
public:
	using Clock = std::chrono::steady_clock;

	// What the header shows before the first frame.
	struct Header
	{
		std::string modulePath;
		std::string name;
		bool source = false;
		std::string size; // "WxH"
		double fps = 0.0;
		bool paced = true;
		std::uint64_t limit = 0; // 0: until the input ends
		std::string renderer;
		std::string input;
		bool feedsInput = true;
		std::vector<std::string> parameterNames;
		std::vector<std::string> displays;
		std::vector<WatchRule> rules; // none: the module follows no rule run knows
		int port = 0;                 // 0: not listening
	};

	RunReport(std::ostream& out, std::ostream& err) : out(out), err(err) {}

	void PrintHeader(const Header& header);
	// The time of the first frame; event times count from here.
	void Start(Clock::time_point now);
	// The verdicts on frame n, drawn: a line where a rule's run begins or ends.
	void Judged(std::uint64_t n, const ModuleWatch::Verdicts& verdicts, Clock::time_point now);
	// Frame n refused by the module: a warning the first time, then a count.
	void Refused(std::uint64_t n);
	// The OSC texts that arrived by frame n, one line each.
	void Received(std::uint64_t n, const std::vector<std::string>& texts, Clock::time_point now);
	// The progress line on standard error, when nothing was printed for 5 s.
	void Progress(std::uint64_t n, std::uint64_t limit, Clock::time_point now);
	void PrintSummary(std::uint64_t frames, Clock::time_point now);
	// After the summary: a note when runs were seen but no message arrived,
	// with the likely reasons; timed: the sliders timed on the module's clock.
	void NoteSilence(bool paced, const std::vector<std::string>& timed);
	// One warning line on standard error.
	void Warn(const std::string& text);

private:
	struct RuleRuns
	{
		std::string name;
		bool in = false;
		Clock::time_point since{};
		std::uint64_t runs = 0;
	};

	void Line(std::uint64_t n, Clock::time_point now, const std::string& text);
	// ", 2 black runs, 1 still run"
	std::string RunCounts() const;

	std::ostream& out;
	std::ostream& err;
	Clock::time_point start{};
	Clock::time_point lastOutput{};
	std::vector<RuleRuns> rules;
	std::uint64_t messages = 0;
	std::uint64_t refused = 0;
};

} // namespace ffgltool
