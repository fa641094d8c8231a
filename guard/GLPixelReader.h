// GLPixelReader: single pixels of the framebuffer bound for reading, through
// glReadPixels, while the pixel-pack state is at its defaults.
//
// Make one per frame, after drawing, with the context current: construction
// saves and resets the host's pack state (ScopedPixelPackDefaults) and
// destruction puts it back, so the reads neither land in a host buffer object
// nor past the four bytes of the destination.
#pragma once

#include "guard/PixelReader.h"
#include "guard/ScopedPixelPackDefaults.h"

class GLPixelReader final : public PixelReader
{
public:
	// A pixel the GL refuses to read (a multisampled framebuffer, a position
	// outside it) leaves the destination as it was: white.
	Rgba8 Read(std::int32_t x, std::int32_t y) const override;

private:
	ScopedPixelPackDefaults packDefaults;
};
