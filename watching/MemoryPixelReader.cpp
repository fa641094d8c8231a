#include "watching/MemoryPixelReader.h"

#include <cstddef>

MemoryPixelReader::MemoryPixelReader(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height, Rows rows) :
	pixels(pixels),
	width(width),
	height(height),
	rows(rows)
{
}

bool MemoryPixelReader::Read(std::int32_t x, std::int32_t y, Rgba8& pixel) const
{
	if (x < 0 || y < 0 || static_cast<std::uint32_t>(x) >= width || static_cast<std::uint32_t>(y) >= height)
	{
		pixel = Rgba8{ 255, 255, 255, 255 };
		return false;
	}
	const std::uint32_t row = rows == Rows::BottomUp ? static_cast<std::uint32_t>(y) : height - 1 - y;
	const std::uint8_t* p = pixels + (static_cast<std::size_t>(row) * width + static_cast<std::uint32_t>(x)) * 4;
	pixel = Rgba8{ p[0], p[1], p[2], p[3] };
	return true;
}
