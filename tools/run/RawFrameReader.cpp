#include "tools/run/RawFrameReader.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace ffgltool
{

RawFrameReader::RawFrameReader(std::FILE* stream, int width, int height, std::string name) :
	stream(stream),
	name(std::move(name)),
	width(width),
	height(height)
{
}

FrameSource::Result RawFrameReader::Next(std::uint64_t index, std::uint8_t* pixels, std::string& error)
{
	const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
	const std::size_t frameBytes = rowBytes * static_cast<std::size_t>(height);
	std::size_t got = 0;
	for (int yFromTop = 0; yFromTop < height; ++yFromTop)
	{
		std::uint8_t* row = pixels + static_cast<std::size_t>(height - 1 - yFromTop) * rowBytes;
		const std::size_t read = std::fread(row, 1, rowBytes, stream);
		got += read;
		if (read < rowBytes)
			break;
	}
	if (got == frameBytes)
		return Result::Frame;

	const std::string size = std::to_string(width) + "x" + std::to_string(height);
	if (std::ferror(stream))
	{
		error =
			std::string("cannot read frame ") + std::to_string(index) + " from " + name + ": " + std::strerror(errno);
		return Result::Error;
	}
	if (got == 0 && index > 0)
		return Result::End;
	if (got == 0)
		error = name + " holds no frame (expected raw RGBA frames of " + size + ", " + std::to_string(frameBytes) +
			" bytes each)";
	else
		error = name + " ended inside frame " + std::to_string(index) + " after " + std::to_string(got) + " of " +
			std::to_string(frameBytes) + " bytes: the frames are not raw RGBA of " + size;
	return Result::Error;
}

std::string RawFrameReader::Describe() const
{
	return "raw RGBA frames of " + std::to_string(width) + "x" + std::to_string(height) + " from " + name;
}

} // namespace ffgltool
