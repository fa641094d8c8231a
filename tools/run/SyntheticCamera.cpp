#include "tools/run/SyntheticCamera.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace ffgltool
{
namespace
{

struct Rgb
{
	std::uint8_t r, g, b;
};

// Colour bars at 75 %: every bar, blue included (luma 0.054), stays well above
// any black threshold a guard would use at its defaults.
constexpr Rgb kBars[] = {
	{ 191, 191, 191 },
	{ 191, 191, 0 },
	{ 0, 191, 191 },
	{ 0, 191, 0 },
	{ 191, 0, 191 },
	{ 191, 0, 0 },
	{ 0, 0, 191 },
};
constexpr Rgb kBand = { 40, 40, 40 };
constexpr Rgb kWhite = { 255, 255, 255 };

double Wrapped(double seconds)
{
	const double wrapped = std::fmod(seconds, SyntheticCamera::kTimelineSeconds);
	return wrapped < 0.0 ? wrapped + SyntheticCamera::kTimelineSeconds : wrapped;
}

} // namespace

SyntheticCamera::SyntheticCamera(int width, int height, double fps, bool still) :
	timeline(still ? kStillTimeline : kBlackTimeline),
	segments(still ? std::size(kStillTimeline) : std::size(kBlackTimeline)),
	width(width),
	height(height),
	fps(fps)
{
}

const SyntheticCamera::Segment& SyntheticCamera::At(double seconds) const
{
	const double at = Wrapped(seconds);
	std::size_t shown = 0;
	for (std::size_t i = 0; i < segments; ++i)
		if (at >= timeline[i].startSeconds)
			shown = i;
	return timeline[shown];
}

FrameSource::Result SyntheticCamera::Next(std::uint64_t index, std::uint8_t* pixels, std::string&)
{
	const double seconds = static_cast<double>(index) / fps;
	const Segment& segment = At(seconds);
	if (segment.shows == Shows::Black || segment.shows == Shows::NoSignal)
	{
		const std::uint8_t blue = segment.shows == Shows::NoSignal ? 191 : 0;
		for (std::size_t i = 0; i < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4; i += 4)
		{
			pixels[i] = pixels[i + 1] = 0;
			pixels[i + 2] = blue;
			pixels[i + 3] = 255;
		}
		return Result::Frame;
	}
	const double wrappedStart = seconds - Wrapped(seconds) + segment.startSeconds;
	DrawPicture(segment.shows == Shows::Frozen ? wrappedStart : seconds, pixels);
	return Result::Frame;
}

void SyntheticCamera::DrawPicture(double seconds, std::uint8_t* pixels) const
{
	// The moving parts: a white box that crosses the lower band and back every
	// 4 s, and a white line that sweeps across the bars every 2 s.
	const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
	const double at = Wrapped(seconds);
	const int barsHeight = height * 2 / 3;
	const int boxSize = std::max(1, height / 6);
	const double swing = std::fabs(std::fmod(at / 2.0, 2.0) - 1.0); // 1 → 0 → 1
	const int boxLeft = static_cast<int>((1.0 - swing) * std::max(0, width - boxSize));
	const int boxTop = barsHeight + (height - barsHeight - boxSize) / 2;
	const int sweepX = static_cast<int>(std::fmod(at / 2.0, 1.0) * width);

	for (int yFromTop = 0; yFromTop < height; ++yFromTop)
	{
		std::uint8_t* row = pixels + static_cast<std::size_t>(height - 1 - yFromTop) * rowBytes;
		for (int x = 0; x < width; ++x)
		{
			Rgb colour;
			if (yFromTop < barsHeight)
				colour =
					x == sweepX ? kWhite : kBars[static_cast<std::size_t>(x) * 7 / static_cast<std::size_t>(width)];
			else
			{
				const bool inBox =
					x >= boxLeft && x < boxLeft + boxSize && yFromTop >= boxTop && yFromTop < boxTop + boxSize;
				colour = inBox ? kWhite : kBand;
			}
			std::uint8_t* pixel = row + static_cast<std::size_t>(x) * 4;
			pixel[0] = colour.r;
			pixel[1] = colour.g;
			pixel[2] = colour.b;
			pixel[3] = 255;
		}
	}
}

std::uint64_t SyntheticCamera::DefaultFrameCount() const
{
	return static_cast<std::uint64_t>(std::llround(kTimelineSeconds * fps));
}

std::string SyntheticCamera::Describe() const
{
	std::string text = "synthetic camera, " + std::to_string(static_cast<int>(kTimelineSeconds)) + " s: picture";
	static const char* const kShown[] = { "picture", "black", "frozen", "blue no-signal screen" };
	for (std::size_t i = 1; i < segments; ++i)
	{
		char part[64];
		std::snprintf(part, sizeof part, ", %s from %.1f s", kShown[static_cast<int>(timeline[i].shows)],
			timeline[i].startSeconds);
		text += part;
	}
	return text;
}

} // namespace ffgltool
