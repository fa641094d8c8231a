#include "ffglex/FFGLFBO.h"

#include "ffglex/FFGLScopedBindings.h"

namespace ffglex
{
FFGLFBO::FFGLFBO() : width(0), height(0), internalFormat(0), fboID(0), depthBufferID(0), colorTextureID(0)
{
}

bool FFGLFBO::Initialise(GLint width, GLint height, GLint internalFormat)
{
	if (fboID != 0)
		return false;

	this->width = width;
	this->height = height;
	this->internalFormat = internalFormat;

	if (!GenerateFBO() || !GenerateDepthBuffer() || !GenerateColorTexture())
	{
		Release();
		return false;
	}

	// Attach under RestorePrevious: Initialise may run inside a host's frame,
	// with the host's framebuffer bound.
	ScopedFBOBinding fboBinding(fboID, ScopedFBOBinding::RestorePrevious);
	glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBufferID);
	glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTextureID, 0);
	const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
	if (status != GL_FRAMEBUFFER_COMPLETE)
	{
		Release();
		fboBinding.EndScope();
		return false;
	}
	fboBinding.EndScope();
	return true;
}

bool FFGLFBO::GenerateFBO()
{
	glGenFramebuffers(1, &fboID);
	return fboID != 0;
}

bool FFGLFBO::GenerateDepthBuffer()
{
	glGenRenderbuffers(1, &depthBufferID);
	if (depthBufferID == 0)
		return false;

	ScopedRenderBufferBinding renderBufferBinding(depthBufferID);
	glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
	return true;
}

bool FFGLFBO::GenerateColorTexture()
{
	glGenTextures(1, &colorTextureID);
	if (colorTextureID == 0)
		return false;

	// No data is uploaded, but GL still validates the transfer type against the
	// internal format: unsigned bytes suit GL_RGBA8, floats the float formats.
	const GLenum transferType = internalFormat == GL_RGBA8 ? GL_UNSIGNED_BYTE : GL_FLOAT;
	Scoped2DTextureBinding textureBinding(colorTextureID);
	glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, GL_RGBA, transferType, nullptr);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
	return true;
}

void FFGLFBO::Release()
{
	width = 0;
	height = 0;
	if (fboID != 0)
	{
		glDeleteFramebuffers(1, &fboID);
		fboID = 0;
	}
	if (depthBufferID != 0)
	{
		glDeleteRenderbuffers(1, &depthBufferID);
		depthBufferID = 0;
	}
	if (colorTextureID != 0)
	{
		glDeleteTextures(1, &colorTextureID);
		colorTextureID = 0;
	}
}

void FFGLFBO::ResizeViewPort()
{
	glViewport(0, 0, width, height);
}

GLint FFGLFBO::GetWidth() const
{
	return width;
}

GLint FFGLFBO::GetHeight() const
{
	return height;
}

GLuint FFGLFBO::GetGLID() const
{
	return fboID;
}

FFGLTextureStructTag FFGLFBO::GetTextureInfo() const
{
	FFGLTextureStructTag info = {};
	info.Width = static_cast<std::uint32_t>(width);
	info.Height = static_cast<std::uint32_t>(height);
	info.HardwareWidth = info.Width;
	info.HardwareHeight = info.Height;
	info.Handle = colorTextureID;
	return info;
}

} // namespace ffglex
