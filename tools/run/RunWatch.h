// RunWatch: what `ffgl-host run` follows of the module it drives while it
// drives it: each drawn frame, read once from the output and measured as the
// module measures it, judged by the module's own watch (ModuleWatch, set from
// the slider values the instance holds, on the run's clock readings); and
// the trace and the plot of it.
//
// With a trace file it writes one CSV line a frame: frame,time_s, a measure
// and a verdict column for each of the watch's rules, then armed,sent:
//   the black guard  frame,time_s,brightest_luma,black,armed,sent
//   the Watch        frame,time_s,brightest_cell,black,largest_change,still,armed,sent
//   no watch         frame,time_s,sent
// where sent counts the OSC messages that arrived for the frame. A frame the
// module refused is not judged: its rule and armed columns stay empty.
#pragma once

#include "tools/run/ModuleWatch.h"
#include "tools/run/RunPlot.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace ffgltool
{

class RunWatch
{
public:
	// watch: null for a module without one. tracePath, plotPath empty: no
	// trace, no plot. Throws RunError when the trace file cannot be written.
	RunWatch(std::unique_ptr<ModuleWatch> watch, int width, int height, const std::string& tracePath,
		const std::string& plotPath);
	~RunWatch();
	RunWatch(const RunWatch&) = delete;
	RunWatch& operator=(const RunWatch&) = delete;

	// The watch's rules at the instance's sliders; none without a watch.
	const std::vector<WatchRule>& Rules() const { return rules; }
	// The sliders timed on the module's clock; none without a watch.
	std::vector<std::string> TimedSliders() const;

	// The drawn frame at seconds since the first, read from the framebuffer
	// bound for reading.
	ModuleWatch::Verdicts Judge(double seconds);
	// Frame n at seconds: its verdicts from Judge, or null when refused, and
	// the messages that arrived for it.
	void Record(std::uint64_t n, double seconds, const ModuleWatch::Verdicts* judged, std::size_t messages);

	// Writes the plot, when one was asked for, from the frames so far. Throws
	// RunError when it cannot be written.
	void WritePlot() const;

	// Once, a warning of the watch's rules; empty otherwise.
	std::string TakeWarning();

private:
	void Write(const std::string& line);

	std::unique_ptr<ModuleWatch> watch;
	std::vector<WatchRule> rules;
	int width;
	int height;
	std::vector<std::uint8_t> pixels; // the drawn frame, read whole
	FrameValues values;
	std::FILE* trace = nullptr;
	std::string plotPath;
	std::vector<PlotFrame> plotted;
};

} // namespace ffgltool
