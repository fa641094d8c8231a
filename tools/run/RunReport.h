// RunReport: what `ffgl-host run` prints while it runs: the header, one line
// per event (a black run beginning or ending, an OSC message) with the frame
// number and the time since the first frame, a progress line on standard
// error after 5 s without other output, and the summary.
//
// Every call takes the clock reading it reports against; the report keeps no
// clock of its own.
#pragma once

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
		float threshold = 0.0f;
		int port = 0; // 0: not listening
	};

	RunReport(std::ostream& out, std::ostream& err) : out(out), err(err) {}

	void PrintHeader(const Header& header);
	// The time of the first frame; event times count from here.
	void Start(Clock::time_point now);
	// The verdict on frame n, drawn: a line where a black run begins or ends.
	void Judged(std::uint64_t n, bool black, Clock::time_point now);
	// Frame n refused by the module: a warning the first time, then a count.
	void Refused(std::uint64_t n);
	// The OSC texts that arrived by frame n, one line each.
	void Received(std::uint64_t n, const std::vector<std::string>& texts, Clock::time_point now);
	// The progress line on standard error, when nothing was printed for 5 s.
	void Progress(std::uint64_t n, std::uint64_t limit, Clock::time_point now);
	void PrintSummary(std::uint64_t frames, Clock::time_point now);
	// After the summary: a note when black runs were seen but no message
	// arrived, with the likely reasons.
	void NoteSilence(bool paced);
	// One warning line on standard error.
	void Warn(const std::string& text);

private:
	void Line(std::uint64_t n, Clock::time_point now, const std::string& text);

	std::ostream& out;
	std::ostream& err;
	Clock::time_point start{};
	Clock::time_point lastOutput{};
	bool inBlack = false;
	Clock::time_point blackSince{};
	std::uint64_t blackRuns = 0;
	std::uint64_t messages = 0;
	std::uint64_t refused = 0;
};

} // namespace ffgltool
