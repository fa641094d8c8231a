// Calibration: the black rule's settings that tell a source's drop-out from
// its live picture, for the black guard or the Watch, worked out from the two
// recordings' brightest values; and what the Watch's still rule makes of them.
//
// The threshold is the one `run` advises too (SuggestedThreshold): the
// drop-out's brightest frame plus a margin of 0.5 % luma, rounded up to the
// 0.1 % steps the plug-in displays; none above the plug-in's 25 %. At that
// threshold the live recording may still have dark runs: the hold must
// outlast the longest of them. A run longer than the plug-in's 10 s, or one
// that lasts the whole live recording (its true length unknown), leaves no
// safe hold: then the threshold does not separate the two.
//
// The still rule runs at the Watch's default tolerance, its black rule at
// that threshold where it separates, else at the Watch's default: the live
// recording's still runs ask for a "Still Hold" that outlasts them (a static
// shot through strong noise reduction can look still). A drop-out still from
// its first frame to its last (a frozen picture, a no-signal screen) is the
// still rule's to catch.
#pragma once

#include "tools/calibrate/Recording.h"
#include "tools/run/ModuleWatch.h"
#include "tools/run/SuggestedThreshold.h"

#include <optional>
#include <string>
#include <vector>

namespace ffgltool
{

// One rule's runs in the live recording, and the hold that rides over them.
struct LiveRuns
{
	static constexpr double kMaxHold = 10.0;

	std::vector<FrameRun> runs;

	// The longest; a run of no frames when there is none.
	FrameRun Longest() const;
	double LongestSeconds(double fps) const;
	// The shortest hold on the 0.01 s steps the plug-in displays that is
	// longer than the longest run; 0 without runs.
	double MinSafeHold(double fps) const;
	// Some hold of at most 10 s is safe, and no run lasts all frames.
	bool Holdable(double fps, std::size_t frames) const;
};

struct Calibration
{
	WatchRule blackRule; // the calibrated module's black rule at its defaults
	std::optional<SuggestedThreshold> threshold;
	LiveRuns black; // at the threshold

	WatchRule still; // the Watch's still rule at its defaults
	LiveRuns liveStill;
	bool dropoutStill = false;

	bool Separates(double fps, std::size_t liveFrames) const;
	// The drop-out is still and a "Still Hold" of at most 10 s is safe.
	bool StillSeparates(double fps, std::size_t liveFrames) const;
};

// For the module with ID blackOf (ModuleWatches), whose black rule measured
// the recordings.
Calibration Calibrate(const Recording& live, const Recording& dropout, double fps, const std::string& blackOf);

// The picture calibrate --plot writes (an SvgChart): both recordings'
// brightest luma against time, live first, and the threshold. Throws RunError when it cannot be
// written.
void WriteCalibrationPlot(
	const std::string& path, const Recording& live, const Recording& dropout, const Calibration& result, double fps);

} // namespace ffgltool
