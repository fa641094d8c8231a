// HostTexture: the input textures that ffgl-host hands to a module, as a host
// makes them, and the pixel-store state its own uploads and reads rely on.
//
// Pictures are RGBA, 4 bytes a pixel, rows from the bottom up with no padding
// (run/FrameSource.h). Every function here needs a current GL context and leaves
// no texture bound on the active unit.
#pragma once

#include "ffglex/FFGLGL.h"

#include <cstdint>

namespace ffgltool
{

// A module may leave pixel-store state behind. With a row length, skip or
// swap of its choosing the host's own uploads and reads would walk outside
// the host's memory, so they run on GL's defaults: tightly packed rows,
// nothing skipped, alignment 4.
void UseDefaultPixelStore();

// A GL_RGBA8 2D texture of the given size holding pixels (null: contents
// undefined), sampled with filter, edges clamped. 0 when GL refuses it.
GLuint CreateInputTexture(GLsizei width, GLsizei height, const std::uint8_t* pixels, GLint filter = GL_LINEAR);

// Replaces the whole picture of a texture of that size, from client memory
// (no pixel unpack buffer), on the default pixel store.
void UploadInputTexture(GLuint texture, GLsizei width, GLsizei height, const std::uint8_t* pixels);

} // namespace ffgltool
