// PixelReader: where the sample measure gets its pixels from.
//
// The black guard reads the framebuffer it has just drawn (GLPixelReader);
// tools and tests hand it pictures held in memory. Coordinates are GL window
// coordinates: the origin is the lower-left pixel and rows go upwards.
#pragma once

#include <cstdint>

struct Rgba8
{
	std::uint8_t r;
	std::uint8_t g;
	std::uint8_t b;
	std::uint8_t a;
};

class PixelReader
{
public:
	virtual ~PixelReader() = default;

	// The pixel at (x, y) into pixel; false when the reader cannot see it. The
	// pixel is then white, so that a picture nobody can see is never taken for
	// a dark one.
	virtual bool Read(std::int32_t x, std::int32_t y, Rgba8& pixel) const = 0;
};
