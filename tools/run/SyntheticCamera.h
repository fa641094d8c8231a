// SyntheticCamera: a built-in stand-in for a live camera that drops out.
//
// It plays a short scripted timeline, timed by the frame rate of the run (frame
// n shows the moment n / fps): colour bars with moving content and two
// drop-outs. In the black timeline both drop-outs are black; in the still
// timeline the picture first freezes on one frame, then a blue no-signal
// screen replaces it. Each drop-out lasts longer than the default hold of its
// guard (1 s black, 2 s still), and the picture between them longer than the
// default recovery of 0.5 s, so with default settings the guard fires exactly
// twice. Frames past the end of the timeline repeat it from the start.
#pragma once

#include "tools/run/FrameSource.h"

namespace ffgltool
{

class SyntheticCamera : public FrameSource
{
public:
	enum class Shows
	{
		Picture,
		Black,
		Frozen,  // the picture of the segment's first moment, held
		NoSignal // a plain blue screen, as capture cards show
	};

	// One part of the timeline: from startSeconds until the next part begins.
	struct Segment
	{
		double startSeconds;
		Shows shows;
	};

	static constexpr double kTimelineSeconds = 10.0;
	static constexpr Segment kBlackTimeline[] = {
		{ 0.0, Shows::Picture },
		{ 3.0, Shows::Black },
		{ 4.5, Shows::Picture },
		{ 7.0, Shows::Black },
		{ 8.5, Shows::Picture },
	};
	static constexpr Segment kStillTimeline[] = {
		{ 0.0, Shows::Picture },
		{ 2.0, Shows::Frozen },
		{ 5.0, Shows::Picture },
		{ 6.0, Shows::NoSignal },
		{ 9.0, Shows::Picture },
	};

	// width and height positive, fps positive; still picks the still timeline.
	SyntheticCamera(int width, int height, double fps, bool still = false);

	Result Next(std::uint64_t index, std::uint8_t* pixels, std::string& error) override;
	// One pass through the timeline.
	std::uint64_t DefaultFrameCount() const override;
	std::string Describe() const override;

private:
	// The segment shown at a moment (repeating after the timeline's end).
	const Segment& At(double seconds) const;
	void DrawPicture(double seconds, std::uint8_t* pixels) const;

	const Segment* timeline;
	std::size_t segments;
	int width;
	int height;
	double fps;
};

} // namespace ffgltool
