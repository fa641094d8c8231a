#include "tools/HostTexture.h"

#include "ffglex/FFGLScopedBindings.h"

#include <initializer_list>

namespace ffgltool
{

void UseDefaultPixelStore()
{
	for (GLenum parameter :
		{ GL_PACK_ROW_LENGTH, GL_PACK_SKIP_PIXELS, GL_PACK_SKIP_ROWS, GL_PACK_IMAGE_HEIGHT, GL_PACK_SKIP_IMAGES,
			GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_PIXELS, GL_UNPACK_SKIP_ROWS, GL_UNPACK_IMAGE_HEIGHT,
			GL_UNPACK_SKIP_IMAGES, GL_PACK_SWAP_BYTES, GL_UNPACK_SWAP_BYTES, GL_PACK_LSB_FIRST, GL_UNPACK_LSB_FIRST })
		glPixelStorei(parameter, 0);
	glPixelStorei(GL_PACK_ALIGNMENT, 4);
	glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

GLuint CreateInputTexture(GLsizei width, GLsizei height, const std::uint8_t* pixels, GLint filter)
{
	GLuint texture = 0;
	glGenTextures(1, &texture);
	if (texture == 0)
		return 0;
	UseDefaultPixelStore();
	ffglex::ScopedBufferBinding clientMemory(GL_PIXEL_UNPACK_BUFFER, 0);
	ffglex::Scoped2DTextureBinding binding(texture);
	glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
	return texture;
}

void UploadInputTexture(GLuint texture, GLsizei width, GLsizei height, const std::uint8_t* pixels)
{
	UseDefaultPixelStore();
	ffglex::ScopedBufferBinding clientMemory(GL_PIXEL_UNPACK_BUFFER, 0);
	ffglex::Scoped2DTextureBinding binding(texture);
	glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

} // namespace ffgltool
