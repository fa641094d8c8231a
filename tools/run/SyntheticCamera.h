// SyntheticCamera: a built-in stand-in for a live camera that drops out.
//
// It plays a short scripted timeline, timed by the frame rate of the run (frame
// n shows the moment n / fps): colour bars with moving content, a black
// drop-out, the picture again, a second drop-out, and the picture again. Each
// drop-out lasts longer than the guard's default hold of 1 s, and the picture
// between them longer than its default recovery of 0.5 s, so with default
// settings the guard fires exactly twice. Frames past the end of the timeline
// repeat it from the start.
#pragma once

#include "tools/run/FrameSource.h"

namespace ffgltool
{

class SyntheticCamera : public FrameSource
{
public:
	// One part of the timeline: from startSeconds until the next part begins.
	struct Segment
	{
		double startSeconds;
		bool black;
	};

	static constexpr double kTimelineSeconds = 10.0;
	static constexpr Segment kTimeline[] = {
		{ 0.0, false },
		{ 3.0, true },
		{ 4.5, false },
		{ 7.0, true },
		{ 8.5, false },
	};

	// width and height positive, fps positive.
	SyntheticCamera(int width, int height, double fps);

	Result Next(std::uint64_t index, std::uint8_t* pixels, std::string& error) override;
	// One pass through the timeline.
	std::uint64_t DefaultFrameCount() const override;
	std::string Describe() const override;

	// Whether the timeline is black at a moment (repeating after its end).
	static bool IsBlackAt(double seconds);

private:
	int width;
	int height;
	double fps;
};

} // namespace ffgltool
