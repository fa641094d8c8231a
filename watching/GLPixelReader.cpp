#include "watching/GLPixelReader.h"

#include "ffglex/FFGLGL.h"

namespace
{
Rgba8 ReadOver(std::int32_t x, std::int32_t y, std::uint8_t fill)
{
	std::uint8_t pixel[4] = { fill, fill, fill, fill };
	glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
	return Rgba8{ pixel[0], pixel[1], pixel[2], pixel[3] };
}

bool IsFilledWith(const Rgba8& pixel, std::uint8_t fill)
{
	return pixel.r == fill && pixel.g == fill && pixel.b == fill && pixel.a == fill;
}
} // namespace

bool GLPixelReader::Read(std::int32_t x, std::int32_t y, Rgba8& pixel) const
{
	pixel = ReadOver(x, y, 255);
	if (!IsFilledWith(pixel, 255))
		return true;
	if (!IsFilledWith(ReadOver(x, y, 0), 0))
		return true;
	pixel = Rgba8{ 255, 255, 255, 255 };
	return false;
}
