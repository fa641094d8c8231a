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
	glBindTexture(GL_TEXTURE_2D, texture);
	glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
	glBindTexture(GL_TEXTURE_2D, 0);
	return value;
}

GLint TextureInteger(GLuint texture, GLenum name)
{
	GLint value = 0;
	glBindTexture(GL_TEXTURE_2D, texture);
	glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
	glBindTexture(GL_TEXTURE_2D, 0);
	return value;
}

GLint AttachmentInteger(GLuint framebuffer, GLenum attachment, GLenum name)
{
	GLint value = 0;
	ScopedFBOBinding binding(framebuffer, ScopedFBOBinding::RestorePrevious);
	glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, name, &value);
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
		ASSERT_NE(hostBindings.drawFramebuffer, hostBindings.readFramebuffer);
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

TEST_F(FBOGLTest, CompleteWithEightBitAndFloatFormats)
{
	struct Case
	{
		const char* label;
		GLint internalFormat;
		GLenum componentType;
	};
	const Case cases[] = {
		{ "GL_RGBA8", GL_RGBA8, GL_UNSIGNED_NORMALIZED },
		{ "GL_RGBA16F", GL_RGBA16F, GL_FLOAT },
		{ "GL_RGBA32F", GL_RGBA32F, GL_FLOAT },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.label);
		const GLObjectNames before = LiveObjects();
		ASSERT_TRUE(fbo.Initialise(40, 24, c.internalFormat));
		EXPECT_EQ(CurrentBindings(), hostBindings);
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
		EXPECT_EQ(fbo.GetWidth(), 40);
		EXPECT_EQ(fbo.GetHeight(), 24);
		ASSERT_TRUE(glIsFramebuffer(fbo.GetGLID()));

		{
			ScopedFBOBinding binding(fbo.GetGLID(), ScopedFBOBinding::RestorePrevious);
			EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
		}

		const FFGLTextureStructTag info = fbo.GetTextureInfo();
		EXPECT_EQ(info.Width, 40u);
		EXPECT_EQ(info.Height, 24u);
		EXPECT_EQ(info.HardwareWidth, 40u);
		EXPECT_EQ(info.HardwareHeight, 24u);
		EXPECT_EQ(static_cast<GLint>(info.Handle),
			AttachmentInteger(fbo.GetGLID(), GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME));
		EXPECT_EQ(TextureLevelInteger(info.Handle, GL_TEXTURE_INTERNAL_FORMAT), c.internalFormat);
		EXPECT_EQ(TextureLevelInteger(info.Handle, GL_TEXTURE_WIDTH), 40);
		EXPECT_EQ(TextureLevelInteger(info.Handle, GL_TEXTURE_HEIGHT), 24);
		EXPECT_EQ(TextureLevelInteger(info.Handle, GL_TEXTURE_RED_TYPE), static_cast<GLint>(c.componentType));
		EXPECT_EQ(TextureInteger(info.Handle, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
		EXPECT_EQ(TextureInteger(info.Handle, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
		EXPECT_EQ(TextureInteger(info.Handle, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
		EXPECT_EQ(TextureInteger(info.Handle, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
		EXPECT_EQ(AttachmentInteger(fbo.GetGLID(), GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE),
			GL_RENDERBUFFER);
		EXPECT_GE(AttachmentInteger(fbo.GetGLID(), GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE), 24);

		// Exactly one framebuffer, texture and renderbuffer came and went.
		const GLObjectNames during = LiveObjects();
		EXPECT_EQ(during.framebuffers.size(), before.framebuffers.size() + 1);
		EXPECT_EQ(during.textures.size(), before.textures.size() + 1);
		EXPECT_EQ(during.renderbuffers.size(), before.renderbuffers.size() + 1);
		fbo.Release();
		EXPECT_EQ(LiveObjects(), before);
		EXPECT_EQ(CurrentBindings(), hostBindings);
	}
}

TEST_F(FBOGLTest, SecondInitialiseIsRefusedWithoutChanges)
{
	ASSERT_TRUE(fbo.Initialise(16, 8, GL_RGBA8));
	const FFGLTextureStructTag info = fbo.GetTextureInfo();
	const GLuint framebuffer = fbo.GetGLID();
	const GLObjectNames objects = LiveObjects();

	EXPECT_FALSE(fbo.Initialise(32, 32, GL_RGBA32F));
	EXPECT_EQ(fbo.GetGLID(), framebuffer);
	EXPECT_EQ(fbo.GetWidth(), 16);
	EXPECT_EQ(fbo.GetHeight(), 8);
	const FFGLTextureStructTag after = fbo.GetTextureInfo();
	EXPECT_EQ(after.Handle, info.Handle);
	EXPECT_EQ(after.Width, info.Width);
	EXPECT_EQ(after.Height, info.Height);
	EXPECT_EQ(TextureLevelInteger(after.Handle, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
	EXPECT_EQ(LiveObjects(), objects);
	EXPECT_EQ(CurrentBindings(), hostBindings);
}

// A framebuffer that cannot be completed leaves the object empty, nothing
// alive and the host's bindings in place; the object can be initialised again.
TEST_F(FBOGLTest, IncompleteFramebufferEndsEmpty)
{
	const GLObjectNames before = LiveObjects();
	EXPECT_FALSE(fbo.Initialise(0, 0, GL_RGBA8));
	EXPECT_EQ(fbo.GetGLID(), 0u);
	EXPECT_EQ(fbo.GetWidth(), 0);
	EXPECT_EQ(fbo.GetHeight(), 0);
	EXPECT_EQ(fbo.GetTextureInfo().Handle, 0u);
	EXPECT_EQ(LiveObjects(), before);
	EXPECT_EQ(CurrentBindings(), hostBindings);
	TakeGLError();

	EXPECT_TRUE(fbo.Initialise(4, 4, GL_RGBA8));
}

// Render into the framebuffer, read its texture back, and find the host's
// output untouched.
TEST_F(FBOGLTest, RendersIntoItsTexture)
{
	ASSERT_TRUE(fbo.Initialise(8, 4, GL_RGBA8));
	{
		ScopedFBOBinding binding(fbo.GetGLID(), ScopedFBOBinding::RestorePrevious);
		fbo.ResizeViewPort();
		GLint viewport[4] = {};
		glGetIntegerv(GL_VIEWPORT, viewport);
		EXPECT_EQ(viewport[2], 8);
		EXPECT_EQ(viewport[3], 4);
		// Only the left half, through the viewport-sized scissor box.
		glEnable(GL_SCISSOR_TEST);
		glScissor(0, 0, 4, 4);
		glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
		glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
		glDisable(GL_SCISSOR_TEST);
	}
	EXPECT_EQ(CurrentBindings(), hostBindings);
	HeadlessGL::BindHostFramebuffer(HostOutput());

	std::vector<std::uint8_t> pixels(8 * 4 * 4);
	const GLuint texture = fbo.GetTextureInfo().Handle;
	{
		Scoped2DTextureBinding binding(texture);
		glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	}
	const RGBA8 orange = { 255, 128, 0, 255 };
	for (int y = 0; y < 4; ++y)
	{
		for (int x = 0; x < 8; ++x)
		{
			const std::uint8_t* p = &pixels[(y * 8 + x) * 4];
			const RGBA8 texel = { p[0], p[1], p[2], p[3] };
			if (x < 4)
			{
				EXPECT_EQ(texel, orange) << x << "," << y;
			}
			else
			{
				EXPECT_NE(texel, orange) << x << "," << y;
			}
		}
	}
	EXPECT_EQ(ReadPixel(0, 0), (RGBA8{ 0, 0, 0, 0 })) << "the host's output was drawn into";
	glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(FBOGLTest, ReleaseTwiceDeletesNothingTheSecondTime)
{
	const GLObjectNames before = LiveObjects();
	ASSERT_TRUE(fbo.Initialise(8, 8, GL_RGBA8));
	fbo.Release();
	EXPECT_EQ(LiveObjects(), before);
	const FFGLTextureStructTag info = fbo.GetTextureInfo();
	EXPECT_EQ(info.Width, 0u);
	EXPECT_EQ(info.Height, 0u);
	EXPECT_EQ(info.Handle, 0u);
	EXPECT_EQ(fbo.GetGLID(), 0u);

	// Objects that may have taken the freed names survive a second Release.
	GLuint framebuffer = 0;
	GLuint renderbuffer = 0;
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
