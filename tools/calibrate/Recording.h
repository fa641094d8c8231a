// Recording: one raw RGBA recording of a source, measured frame by frame with
// the black guard's own sample measure, as `ffgl-host calibrate` needs it.
//
// Frames are read as the headless host uploads them, rows turned over into the
// bottom-up order of a GL texture, and the guard's 25 samples are laid over
// the whole picture; so each frame's brightest luma is the one the plug-in
// measures when the host draws that frame at its size. Needs no GL.
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

// A maximal run of consecutive frames at or below a threshold.
struct DarkRun
{
	std::size_t first = 0;
	std::size_t frames = 0;
};

struct Recording
{
	std::string path;
	std::vector<float> brightest; // per frame, 0..1

	// Reads every frame of path (a file or a pipe). Throws RunError with one
	// line for a file that cannot be read or does not hold whole frames.
	static Recording Read(const std::string& path, int width, int height);

	// Nearest-rank statistics; all 0 for no frames.
	LumaSummary Summary() const;
	// The runs at or below threshold, in order.
	std::vector<DarkRun> DarkRuns(float threshold) const;
};

} // namespace ffgltool
