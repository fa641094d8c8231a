// RawFrameReader: raw RGBA frames of a known size read from a stream, as
// `ffmpeg -f rawvideo -pix_fmt rgba -s WxH -` writes them to a pipe.
//
// Each frame is width × height × 4 bytes with the top row first; rows are
// turned over on reading into the bottom-up order of GL textures. The stream
// must end on a frame boundary: a short last frame means the frames were not
// of the size given and is reported as an error, as is a stream with no frame.
#pragma once

#include "tools/run/FrameSource.h"

#include <cstdio>
#include <memory>
#include <string>

namespace ffgltool
{

class RawFrameReader : public FrameSource
{
public:
	// stream stays owned by the caller; width and height positive; name says
	// where the frames come from in messages ("standard input", a file name).
	RawFrameReader(std::FILE* stream, int width, int height, std::string name = "standard input");

	Result Next(std::uint64_t index, std::uint8_t* pixels, std::string& error) override;
	std::uint64_t DefaultFrameCount() const override { return 0; }
	std::string Describe() const override;

private:
	std::FILE* stream;
	std::string name;
	int width;
	int height;
};

struct FileCloser
{
	void operator()(std::FILE* file) const { std::fclose(file); }
};
using RawFrameFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file of raw frames of width x height, or a pipe given by its name
// (such as bash's <(ffmpeg ...)). A regular file must hold a whole number of
// frames, at least one; a pipe is checked as it is read. Null, with error set
// to one line, when the file cannot be opened or its size does not fit.
RawFrameFile OpenRawFrameFile(const std::string& path, int width, int height, std::string& error);

} // namespace ffgltool
