#include "ffglex/FFGLFBO.h"
#include "ffglex/FFGLScopedBindings.h"
#include "tests/support/GLFixture.h"

#include <vector>

using namespace ffglex;

// The host has its output bound for drawing and another framebuffer for
// reading; both survive every call. Both formats render into their texture of
// the asked size, with a depth renderbuffer; a second Initialise is refused;
// Release empties the record and deletes exactly what Initialise made, and a
// second Release deletes nothing, not even objects that have since taken the
// freed names. An incomplete framebuffer ends empty and can be made again.
TEST_F(GLFixture, FBORendersIntoItsTextureAndReleasesOnce)
{
	GLuint hostRead = 0;
	glGenFramebuffers(1, &hostRead);
	glBindFramebuffer(GL_READ_FRAMEBUFFER, hostRead);
	const GLBindings host = CurrentBindings();
	for (GLint format : { GL_RGBA8, GL_RGBA32F })
	{
		SCOPED_TRACE(format);
		FFGLFBO fbo;
		const GLObjectNames before = LiveObjects();
		ASSERT_TRUE(fbo.Initialise(8, 4, format));
		const FFGLTextureStructTag info = fbo.GetTextureInfo();
		EXPECT_FALSE(fbo.Initialise(32, 32, GL_RGBA8));
		EXPECT_EQ(CurrentBindings(), host);
		EXPECT_EQ((std::vector<std::uint32_t>{
					  info.Width, info.Height, info.HardwareWidth, info.HardwareHeight, fbo.GetTextureInfo().Handle }),
			(std::vector<std::uint32_t>{ 8, 4, 8, 4, info.Handle }));
		GLint internalFormat = 0, viewport[4] = {}, depthType = 0;
		{
			Scoped2DTextureBinding binding(info.Handle);
			glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
		}
		EXPECT_EQ(internalFormat, format);
		{
			ScopedFBOBinding binding(fbo.GetGLID(), ScopedFBOBinding::RestorePrevious);
			fbo.ResizeViewPort();
			glGetIntegerv(GL_VIEWPORT, viewport);
			glGetFramebufferAttachmentParameteriv(
				GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &depthType);
			const GLfloat orange[4] = { 1.0f, 0.5f, 0.0f, 1.0f };
			glClearBufferfv(GL_COLOR, 0, orange);
		}
		EXPECT_EQ(viewport[2] * 10 + viewport[3], 84);
		EXPECT_EQ(depthType, GL_RENDERBUFFER);
		std::vector<std::uint8_t> pixels(8 * 4 * 4);
		{
			Scoped2DTextureBinding binding(info.Handle);
			glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
		}
		EXPECT_EQ((RGBA8{ pixels[124], pixels[125], pixels[126], pixels[127] }), (RGBA8{ 255, 128, 0, 255 }));
		fbo.Release();
		EXPECT_EQ(fbo.GetTextureInfo().Width + fbo.GetTextureInfo().Handle + fbo.GetGLID(), 0u);
		EXPECT_EQ(LiveObjects(), before);
		FFGLFBO other; // takes the freed names
		ASSERT_TRUE(other.Initialise(1, 1, GL_RGBA8));
		const GLObjectNames withOthers = LiveObjects();
		fbo.Release();
		EXPECT_EQ(LiveObjects(), withOthers);
		other.Release();
	}
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));

	FFGLFBO incomplete;
	const GLObjectNames before = LiveObjects();
	EXPECT_FALSE(incomplete.Initialise(0, 0, GL_RGBA8));
	EXPECT_EQ(incomplete.GetGLID(), 0u);
	EXPECT_EQ(LiveObjects(), before);
	EXPECT_EQ(CurrentBindings(), host);
	TakeGLError();
	EXPECT_TRUE(incomplete.Initialise(4, 4, GL_RGBA8));
	incomplete.Release();
	glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
	glDeleteFramebuffers(1, &hostRead);
}
