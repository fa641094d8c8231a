#include "ffglex/FFGLFBO.h"
#include "ffglex/FFGLScopedBindings.h"
#include "tests/support/GLFixture.h"

#include <vector>

using namespace ffglex;

namespace
{
GLint TextureLevelInteger(GLuint texture, GLenum name)
{
	GLint value = 0;
	Scoped2DTextureBinding binding(texture);
	glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
	return value;
}

class FBOGLTest : public GLFixture
{
protected:
	void SetUp() override
	{
		GLFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		// The host has its output bound for drawing and something else for
		// reading; both must survive the framebuffer's work.
		glGenFramebuffers(1, &hostRead);
		glBindFramebuffer(GL_READ_FRAMEBUFFER, hostRead);
		hostBindings = CurrentBindings();
	}
	void TearDown() override
	{
		if (Context() != nullptr)
		{
			fbo.Release();
			glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
			glDeleteFramebuffers(1, &hostRead);
		}
		GLFixture::TearDown();
	}

	FFGLFBO fbo;
	GLuint hostRead = 0;
	GLBindings hostBindings;
};
} // namespace

// 8-bit and float formats both complete, render into their texture and leave
// the host's draw and read framebuffers bound; Release deletes exactly what
// Initialise made.
TEST_F(FBOGLTest, RendersIntoItsTextureWithEightBitAndFloatFormats)
{
	const struct
	{
		GLint internalFormat;
		GLenum componentType;
	} cases[] = { { GL_RGBA8, GL_UNSIGNED_NORMALIZED }, { GL_RGBA32F, GL_FLOAT } };
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.internalFormat);
		const GLObjectNames before = LiveObjects();
		ASSERT_TRUE(fbo.Initialise(8, 4, c.internalFormat));
		EXPECT_EQ(CurrentBindings(), hostBindings);
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
		const FFGLTextureStructTag info = fbo.GetTextureInfo();
		EXPECT_EQ((std::vector<std::uint32_t>{ info.Width, info.Height, info.HardwareWidth, info.HardwareHeight }),
			(std::vector<std::uint32_t>{ 8, 4, 8, 4 }));
		EXPECT_EQ(TextureLevelInteger(info.Handle, GL_TEXTURE_INTERNAL_FORMAT), c.internalFormat);
		EXPECT_EQ(TextureLevelInteger(info.Handle, GL_TEXTURE_RED_TYPE), static_cast<GLint>(c.componentType));
		{
			ScopedFBOBinding binding(fbo.GetGLID(), ScopedFBOBinding::RestorePrevious);
			fbo.ResizeViewPort();
			GLint viewport[4] = {};
			glGetIntegerv(GL_VIEWPORT, viewport);
			EXPECT_EQ(viewport[2] * 10 + viewport[3], 84);
			GLint depthType = 0;
			glGetFramebufferAttachmentParameteriv(
				GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &depthType);
			EXPECT_EQ(depthType, GL_RENDERBUFFER);
			const GLfloat orange[4] = { 1.0f, 0.5f, 0.0f, 1.0f };
			glClearBufferfv(GL_COLOR, 0, orange);
		}
		std::vector<std::uint8_t> pixels(8 * 4 * 4);
		{
			Scoped2DTextureBinding binding(info.Handle);
			glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
		}
		EXPECT_EQ((RGBA8{ pixels[124], pixels[125], pixels[126], pixels[127] }), (RGBA8{ 255, 128, 0, 255 }));
		EXPECT_EQ(CurrentBindings(), hostBindings);
		fbo.Release();
		EXPECT_EQ(LiveObjects(), before);
	}
}

// A second Initialise is refused without changes; after Release the record
// reports 0, and a second Release deletes nothing, not even objects that have
// since taken the freed names.
TEST_F(FBOGLTest, SecondInitialiseIsRefusedAndReleaseTwiceDeletesNothing)
{
	ASSERT_TRUE(fbo.Initialise(16, 8, GL_RGBA8));
	const FFGLTextureStructTag info = fbo.GetTextureInfo();
	const GLObjectNames objects = LiveObjects();
	EXPECT_FALSE(fbo.Initialise(32, 32, GL_RGBA32F));
	EXPECT_EQ(fbo.GetTextureInfo().Handle, info.Handle);
	EXPECT_EQ(fbo.GetWidth(), 16);
	EXPECT_EQ(TextureLevelInteger(info.Handle, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
	EXPECT_EQ(LiveObjects(), objects);

	fbo.Release();
	EXPECT_EQ(fbo.GetTextureInfo().Width, 0u);
	EXPECT_EQ(fbo.GetTextureInfo().Handle, 0u);
	EXPECT_EQ(fbo.GetGLID(), 0u);
	GLuint framebuffer = 0, renderbuffer = 0;
	glGenFramebuffers(1, &framebuffer);
	glGenRenderbuffers(1, &renderbuffer);
	const GLuint texture = MakeRGBA8Texture(1, 1, { 0, 0, 0, 0 });
	{
		ScopedFBOBinding binding(framebuffer, ScopedFBOBinding::RestorePrevious);
		ScopedRenderBufferBinding renderbufferBinding(renderbuffer);
	}
	const GLObjectNames withOthers = LiveObjects();
	fbo.Release();
	EXPECT_EQ(LiveObjects(), withOthers);
	glDeleteFramebuffers(1, &framebuffer);
	glDeleteRenderbuffers(1, &renderbuffer);
	glDeleteTextures(1, &texture);
}

// A framebuffer that cannot be completed leaves the object empty, nothing
// alive and the host's bindings in place; it can be initialised again.
TEST_F(FBOGLTest, IncompleteFramebufferEndsEmpty)
{
	const GLObjectNames before = LiveObjects();
	EXPECT_FALSE(fbo.Initialise(0, 0, GL_RGBA8));
	EXPECT_EQ(fbo.GetGLID(), 0u);
	EXPECT_EQ(LiveObjects(), before);
	EXPECT_EQ(CurrentBindings(), hostBindings);
	TakeGLError();
	EXPECT_TRUE(fbo.Initialise(4, 4, GL_RGBA8));
}
