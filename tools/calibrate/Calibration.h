// Calibration: the black guard's settings that tell a source's drop-out from
// its live picture, worked out from the two recordings' brightest lumas.
//
// The threshold is the one `run` advises too (SuggestedThreshold): the
// drop-out's brightest frame plus a margin of 0.5 % luma, rounded up to the
// 0.1 % steps the plug-in displays; none above the plug-in's 25 %. At that
// threshold the live recording may still have dark runs: the hold must
// outlast the longest of them. A run longer than the plug-in's 10 s, or one
// that lasts the whole live recording (its true length unknown), leaves no
// safe hold: then nothing separates the two.
#pragma once

#include "tools/calibrate/Recording.h"
#include "tools/run/SuggestedThreshold.h"

#include <optional>
#include <string>
#include <vector>

namespace ffgltool
{

struct Calibration
{
	static constexpr double kMaxHold = 10.0;

	std::optional<SuggestedThreshold> threshold;
	std::vector<DarkRun> liveRuns; // at the threshold

	// The longest live run; a run of no frames when there is none.
	DarkRun Longest() const;
	double LongestSeconds(double fps) const;
	// The shortest hold on the 0.01 s steps the plug-in displays that is
	// longer than the longest live run; 0 without live runs.
	double MinSafeHold(double fps) const;
	bool Separates(double fps, std::size_t liveFrames) const;
};

Calibration Calibrate(const Recording& live, const Recording& dropout);

// An SVG file that any browser opens: both recordings' brightest luma against
// time, live first, and the threshold. Throws RunError when it cannot be
// written.
void WriteCalibrationPlot(
	const std::string& path, const Recording& live, const Recording& dropout, const Calibration& result, double fps);

} // namespace ffgltool
