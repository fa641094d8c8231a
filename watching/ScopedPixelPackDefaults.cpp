#include "watching/ScopedPixelPackDefaults.h"

ScopedPixelPackDefaults::ScopedPixelPackDefaults()
{
	glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer);
	glGetIntegerv(GL_PACK_SKIP_PIXELS, &skipPixels);
	glGetIntegerv(GL_PACK_SKIP_ROWS, &skipRows);
	if (packBuffer != 0)
		glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
	if (skipPixels != 0)
		glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
	if (skipRows != 0)
		glPixelStorei(GL_PACK_SKIP_ROWS, 0);
}

ScopedPixelPackDefaults::~ScopedPixelPackDefaults()
{
	if (packBuffer != 0)
		glBindBuffer(GL_PIXEL_PACK_BUFFER, static_cast<GLuint>(packBuffer));
	if (skipPixels != 0)
		glPixelStorei(GL_PACK_SKIP_PIXELS, skipPixels);
	if (skipRows != 0)
		glPixelStorei(GL_PACK_SKIP_ROWS, skipRows);
}
