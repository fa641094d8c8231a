// ShearCheck: whether a raw frame was read at the wrong width.
//
// A stream of frames of another size than the one given still fills frame
// after frame when its byte counts happen to divide (640x360 read as 320x180,
// 320x240 read as 640x360), and nothing fails until the end, if ever. Such a
// frame is sheared: its rows line up at the stream's true width, not at the
// width given. In any natural picture neighbouring rows look alike; so the
// width at which they look most alike is the likely true width.
//
// A width that divides the one given needs a closer look: read at k times its
// true width, each row holds k consecutive rows, so the given width compares
// rows k apart, which still look nearly alike; while in a picture of the given
// width that divisor compares points of one row far apart, which do not.
#pragma once

#include <cstdint>
#include <optional>

namespace ffgltool
{

// The width among the common video widths (and the given one) at which the
// rows of the frame are most alike, when it fits clearly better than the given
// width; otherwise the given width; none when the picture is too flat to tell
// (a black frame, vertical bars). pixels is one frame of width x height RGBA
// as the stream held it, rows from the top down.
std::optional<int> LikelyRowWidth(const std::uint8_t* pixels, int width, int height);

} // namespace ffgltool
