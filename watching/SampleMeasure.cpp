#include "watching/SampleMeasure.h"

namespace
{
constexpr float kGuardGrid[5] = { 0.1f, 0.3f, 0.5f, 0.7f, 0.9f };

constexpr float kLumaRed = 0.2126f;
constexpr float kLumaGreen = 0.7152f;
constexpr float kLumaBlue = 0.0722f;

// The distance from the first to the last pixel of an axis, or 1 for an axis
// of fewer than two pixels, so that every fraction lands on pixel 0.
float GridScale(std::uint32_t pixels)
{
	return pixels >= 2 ? static_cast<float>(pixels - 1) : 1.0f;
}

// Truncation toward zero, in unsigned 32-bit so that no cast is undefined; the
// products are below 2^32.
std::int32_t Offset(std::uint32_t origin, float fraction, float scale)
{
	return static_cast<std::int32_t>(origin + static_cast<std::uint32_t>(fraction * scale));
}
} // namespace

float Luma(Rgba8 pixel)
{
	return (kLumaRed * pixel.r + kLumaGreen * pixel.g + kLumaBlue * pixel.b) / 255.0f;
}

float BrightestLuma(const LumaSamples& samples)
{
	float brightest = 0.0f;
	for (std::size_t i = 0; i < samples.count; ++i)
		if (brightest < samples.values[i])
			brightest = samples.values[i];
	return brightest;
}

SampleMeasure::SampleMeasure() : SampleMeasure(kGuardGrid, 5)
{
}

SampleMeasure::SampleMeasure(const float* fractions, std::size_t count) :
	pos(fractions),
	perAxis(count <= kMaxPerAxis ? count : kMaxPerAxis)
{
}

SamplePoint SampleMeasure::Position(std::size_t i) const
{
	const float fy = pos[i / perAxis];
	const float fx = pos[i % perAxis];
	return SamplePoint{ Offset(viewport.x, fx, GridScale(viewport.width)),
		Offset(viewport.y, fy, GridScale(viewport.height)) };
}

void SampleMeasure::Read(const PixelReader& reader, LumaSamples& out) const
{
	out.count = Count();
	out.readable = true;
	for (std::size_t i = 0; i < out.count; ++i)
	{
		const SamplePoint point = Position(i);
		Rgba8 pixel;
		if (!reader.Read(point.x, point.y, pixel))
			out.readable = false;
		out.values[i] = Luma(pixel);
	}
}
