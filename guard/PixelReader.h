// PixelReader: where the sample measure gets its pixels from.
//
// The guard reads the framebuffer it has just drawn (GLPixelReader); tools and
// tests hand it pictures held in memory. Coordinates are GL window coordinates:
// the origin is the lower-left pixel and rows go upwards.
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

	// The pixel at (x, y). A reader that cannot see the pixel answers white, so
	// that a picture nobody can see is never taken for a dark one.
	virtual Rgba8 Read(std::int32_t x, std::int32_t y) const = 0;
};
