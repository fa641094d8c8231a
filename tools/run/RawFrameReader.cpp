#include "tools/run/RawFrameReader.h"

#include <sys/stat.h>

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

RawFrameFile OpenRawFrameFile(const std::string& path, int width, int height, std::string& error)
{
	RawFrameFile file(std::fopen(path.c_str(), "rb"));
	if (!file)
	{
		error = "cannot open " + path + ": " + std::strerror(errno);
		return nullptr;
	}
	struct stat status = {};
#ifdef _WIN32
	const int descriptor = ::_fileno(file.get());
#else
	const int descriptor = ::fileno(file.get());
#endif
	if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode))
	{
		const auto size = static_cast<std::uint64_t>(status.st_size);
		const std::uint64_t frameBytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4;
		if (size == 0 || size % frameBytes != 0)
		{
			error = path + " holds " + std::to_string(size) + " bytes, not a whole number of raw RGBA frames of " +
				std::to_string(width) + "x" + std::to_string(height) + " (" + std::to_string(frameBytes) +
				" bytes each): check --size";
			return nullptr;
		}
	}
	return file;
}

std::string RawFrameReader::Describe() const
{
	return "raw RGBA frames of " + std::to_string(width) + "x" + std::to_string(height) + " from " + name;
}

} // namespace ffgltool
