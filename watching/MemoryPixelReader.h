// MemoryPixelReader: the sample measure over a picture held in memory, RGBA 4
// bytes a pixel, rows without padding.
//
// GL window coordinates count rows from the bottom. A picture whose rows run
// from the bottom up, as a GL texture holds them (and as the headless host
// uploads its frames), is read as it is; one whose rows run from the top down,
// as ffmpeg writes raw video, is turned over. Positions outside the picture
// cannot be seen.
#pragma once

#include "watching/PixelReader.h"

#include <cstdint>

class MemoryPixelReader final : public PixelReader
{
public:
	enum class Rows
	{
		BottomUp,
		TopDown
	};

	// pixels stays owned by the caller and must outlive the reader.
	MemoryPixelReader(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height, Rows rows);

	bool Read(std::int32_t x, std::int32_t y, Rgba8& pixel) const override;

private:
	const std::uint8_t* pixels;
	std::uint32_t width;
	std::uint32_t height;
	Rows rows;
};
