// GLPixelReader: single pixels of the framebuffer bound for reading, through
// glReadPixels, while the pixel-pack state is at its defaults.
//
// Make one per frame, after drawing, with the context current: construction
// saves and resets the host's pack state (ScopedPixelPackDefaults) and
// destruction puts it back, so the reads neither land in a host buffer object
// nor past the four bytes of the destination.
#pragma once

#include "watching/PixelReader.h"
#include "watching/ScopedPixelPackDefaults.h"

class GLPixelReader final : public PixelReader
{
public:
	// A read the GL refuses (a multisampled framebuffer, for one) leaves the
	// destination as it was. That is told apart from a white pixel without
	// querying GL errors, which belong to the host: a read that leaves white
	// is repeated into black, and only a pixel that stays as it was both times
	// is unreadable. Only white pixels cost the second read.
	bool Read(std::int32_t x, std::int32_t y, Rgba8& pixel) const override;

private:
	ScopedPixelPackDefaults packDefaults;
};
