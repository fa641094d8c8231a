// FrameSource: the input pictures that `ffgl-host run` feeds to a module, one
// RGBA frame of a fixed size at a time.
//
// Frames are delivered as a GL texture holds them: 4 bytes per pixel (R, G, B,
// A), rows from the bottom of the picture to the top, no padding. Two sources
// exist: the built-in synthetic camera (SyntheticCamera.h) and raw frames read
// from a stream (RawFrameReader.h).
#pragma once

#include <cstdint>
#include <string>

namespace ffgltool
{

class FrameSource
{
public:
	enum class Result
	{
		Frame, // pixels hold the next frame
		End,   // no more frames; pixels are unchanged
		Error  // the input is broken; error says why in one line
	};

	virtual ~FrameSource() = default;

	// Fills pixels, which holds width × height × 4 bytes, with frame index
	// (counted from 0; sources are read in order).
	virtual Result Next(std::uint64_t index, std::uint8_t* pixels, std::string& error) = 0;
	// The number of frames a run takes by default; 0 when the source decides
	// by ending.
	virtual std::uint64_t DefaultFrameCount() const = 0;
	// One line for the run's header.
	virtual std::string Describe() const = 0;
};

} // namespace ffgltool
