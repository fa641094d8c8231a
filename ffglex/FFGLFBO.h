// FFGLFBO: an off-screen render target, a framebuffer object with a 2D colour
// texture and a 24-bit depth renderbuffer of the same size.
//
// Render into it by binding GetGLID() with ScopedFBOBinding and calling
// ResizeViewPort; then sample the colour texture, described by GetTextureInfo.
// There is no destructor that touches GL: the owner calls Release while the
// context is current. Resizing is Release followed by Initialise.
#pragma once

#include "ffglex/FFGLGL.h"
#include "host/FFGLRecords.h"

namespace ffglex
{
class FFGLFBO
{
public:
	FFGLFBO();

	// Creates the framebuffer, depth buffer and colour texture and attaches
	// them. The colour texture takes internalFormat; its transfer type is
	// unsigned byte for GL_RGBA8 and float for any other format. The
	// framebuffers bound before the call are bound again afterwards. Refused
	// (false, nothing changed) on an initialised object. Any other failure,
	// a zero name or an incomplete framebuffer, returns false with the object
	// empty again.
	bool Initialise(GLint width, GLint height, GLint internalFormat);
	// The creation steps of Initialise; each false only when GL hands out no
	// name.
	bool GenerateFBO();
	bool GenerateDepthBuffer();
	bool GenerateColorTexture();
	// Deletes what exists, sets the names and the size to 0 (the internal
	// format stays). Harmless on an empty object.
	void Release();

	// glViewport(0, 0, width, height), for use after binding the framebuffer.
	void ResizeViewPort();

	GLint GetWidth() const;
	GLint GetHeight() const;
	GLuint GetGLID() const;
	// Width, height, hardware size equal to the size, and the colour texture's
	// name as Handle.
	FFGLTextureStructTag GetTextureInfo() const;

private:
	GLint width;
	GLint height;
	GLint internalFormat;
	GLuint fboID;
	GLuint depthBufferID;
	GLuint colorTextureID;
};

} // namespace ffglex
