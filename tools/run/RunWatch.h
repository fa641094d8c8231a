// RunWatch: what `ffgl-host run` follows of a watching plug-in while it drives
// it: the plug-in's own measure of each drawn frame, read from the output as
// the plug-in reads it, and its hold and recovery state, followed with the
// plug-in's own units (the shared parameter mapping, fed the slider values
// the instance holds) and clock readings of the run.
//
// It knows the black guard (a "Black Threshold" parameter) and the still
// guard (a "Still Tolerance" parameter); for any other module it follows only
// frames, times and messages. With a trace file it writes one CSV line a
// frame:
//   black guard  frame,time_s,brightest_luma,black,armed,sent
//   still guard  frame,time_s,largest_change,still,armed,sent
//   other        frame,time_s,sent
// where sent counts the OSC messages that arrived for the frame.
//
// For the black guard it also notices a picture that sits flat and dark just
// above the threshold for longer than the hold (every sample within 3 levels
// of the others, the brightest below 12 %): the signature of limited-range
// black and of capture cards' blue no-signal screens.
#pragma once

#include "guard/GuardParameters.h"
#include "tools/run/RunPlot.h"
#include "watch/DropOutWatch.h"
#include "watch/WatchParameters.h"
#include "watching/Arming.h"
#include "watching/RunClock.h"
#include "watching/SampleMeasure.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ffgltool
{

class RunWatch
{
public:
	enum class Kind
	{
		Other,
		Black,
		Still
	};

	// names and sliders: the instance's parameters and their host-side values
	// (text parameters' values are ignored). tracePath, plotPath empty: no
	// trace, no plot. Throws RunError when the trace file cannot be written.
	RunWatch(const std::vector<std::string>& names, const std::vector<float>& sliders, int width, int height,
		const std::string& tracePath, const std::string& plotPath = "");
	~RunWatch();
	RunWatch(const RunWatch&) = delete;
	RunWatch& operator=(const RunWatch&) = delete;

	Kind Watches() const { return kind; }

	// Frame n at seconds since the first frame: drawn (the output bound for
	// reading) or refused, and the messages that arrived for it.
	void Frame(std::uint64_t n, double seconds, bool drawn, std::size_t messages);

	// Writes the plot, when one was asked for, from the frames so far. Throws
	// RunError when it cannot be written.
	void WritePlot() const;

	// Once, the first time a flat dark picture above the threshold has lasted
	// longer than the hold: the warning text; empty otherwise.
	std::string TakeFlatDarkWarning();

private:
	void Measure(LumaSamples& samples) const;
	void Write(const char* line);

	Kind kind = Kind::Other;
	SampleMeasure measure;
	GuardParameters guard;
	WatchParameters still;
	RunClock blackRun;
	Arming arming;
	DropOutWatch stillWatch;
	std::FILE* trace = nullptr;
	std::string plotPath;
	std::vector<PlotFrame> plotted;
	std::optional<double> flatSince;
	bool flatWarned = false;
	std::string flatWarning;
};

} // namespace ffgltool
