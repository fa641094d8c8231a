// ShearCheck: whether a raw frame was read at the wrong width.
//
// A stream of frames of another size than the one given still fills frame
// after frame when its byte counts happen to divide (640x360 read as 320x180),
// and nothing fails until the end, if ever. Such a frame is sheared: its rows
// line up at the stream's true width, not at the width given. In any natural
// picture neighbouring rows look alike; so the width at which they look most
// alike is the likely true width.
#pragma once

#include <cstdint>

namespace ffgltool
{

// The width among the common video widths (and the given one) at which the
// rows of the frame are most alike, when it fits clearly better than the given
// width; otherwise the given width. pixels is one frame of width x height RGBA
// as the stream held it, rows from the top down.
int LikelyRowWidth(const std::uint8_t* pixels, int width, int height);

} // namespace ffgltool
