// Recording: one raw RGBA recording of a source, measured frame by frame with
// the watching modules' own measures, as `ffgl-host calibrate` needs it: each
// frame's brightest value as one module's black rule measures it (the black
// guard's 25 grid points, or the Watch's cell means), and the centre pixels of
// the Watch's cells for the still rule.
//
// Frames are read as the headless host uploads them, rows turned over into the
// bottom-up order of a GL texture, and the grids are laid over the whole
// picture; so each frame's measures are the ones the plug-ins take when the
// host draws that frame at its size. Needs no GL.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ffgltool
{

struct LumaSummary
{
	float min = 0.0f;
	float median = 0.0f;
	float p99 = 0.0f;
	float max = 0.0f;
};

// A maximal run of consecutive frames in which a rule sees a drop-out,
// counted from the frame the condition began at.
struct FrameRun
{
	std::size_t first = 0;
	std::size_t frames = 0;
};

struct Recording
{
	std::string path;
	std::vector<float> brightest; // per frame, 0..1, as the black rule measures it
	std::vector<float> samples;   // per frame, perFrame lumas: the Watch's cells' centre pixels
	std::size_t perFrame = 0;

	// Reads every frame of path (a file or a pipe), its brightest values
	// measured as the black rule of the module with ID blackOf (ModuleWatches)
	// measures them. Throws RunError with one line for a file that cannot be
	// read or does not hold whole frames.
	static Recording Read(const std::string& path, int width, int height, const std::string& blackOf);

	std::size_t Frames() const { return brightest.size(); }
	// Nearest-rank statistics of brightest; all 0 for no frames.
	LumaSummary Summary() const;
	// The runs at or below threshold, in order.
	std::vector<FrameRun> DarkRuns(float threshold) const;
	// The runs the Watch's still rule (StillRun) reports still at tolerance,
	// its black rule at blackThreshold, for frames at fps, in order; each
	// counts from the frame the picture stopped changing at.
	std::vector<FrameRun> StillRuns(float blackThreshold, float tolerance, double fps) const;
};

} // namespace ffgltool
