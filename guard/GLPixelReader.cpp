#include "guard/GLPixelReader.h"

#include "ffglex/FFGLGL.h"

Rgba8 GLPixelReader::Read(std::int32_t x, std::int32_t y) const
{
	std::uint8_t pixel[4] = { 255, 255, 255, 255 };
	glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
	return Rgba8{ pixel[0], pixel[1], pixel[2], pixel[3] };
}
