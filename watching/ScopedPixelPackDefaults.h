// ScopedPixelPackDefaults: the default pixel-pack state for the read-backs of
// a watching plug-in's detection, whatever the host left set.
//
// glReadPixels honours the pack state of the context, which belongs to the
// host. With a pixel-pack buffer bound, a read goes into the host's buffer
// object at an offset equal to the destination pointer; with skipped pixels or
// rows, a 1x1 read is written past the start of the destination, beyond the
// four bytes the caller owns. For the life of the scope there is no pack buffer
// and nothing is skipped; at its end the host's values are set back. Row length
// and alignment stay as they are: they do not affect a single-pixel read.
//
// Construction costs three state queries; state is changed, and restored, only
// where the host's value differs from the default.
#pragma once

#include "ffglex/FFGLGL.h"

class ScopedPixelPackDefaults
{
public:
	ScopedPixelPackDefaults();
	~ScopedPixelPackDefaults();
	ScopedPixelPackDefaults(const ScopedPixelPackDefaults&) = delete;
	ScopedPixelPackDefaults& operator=(const ScopedPixelPackDefaults&) = delete;
	ScopedPixelPackDefaults(ScopedPixelPackDefaults&&) = delete;
	ScopedPixelPackDefaults& operator=(ScopedPixelPackDefaults&&) = delete;

private:
	GLint packBuffer = 0;
	GLint skipPixels = 0;
	GLint skipRows = 0;
};
