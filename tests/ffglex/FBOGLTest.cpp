#include "ffglex/FFGLFBO.h"
#include "ffglex/FFGLScopedBindings.h"
#include "tests/support/GLFixture.h"

#include <vector>

using namespace ffglex;

namespace
{
// A parameter of the texture (level 0 for the level parameters).
GLint TextureInteger(GLuint texture, GLenum name, bool level)
{
	GLint value = 0;
	Scoped2DTextureBinding binding(texture);
	if (level)
		glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
	else
		glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
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
	const struct
	{
		GLint internalFormat;
		GLenum componentType;
	} cases[] = { { GL_RGBA8, GL_UNSIGNED_NORMALIZED }, { GL_RGBA16F, GL_FLOAT }, { GL_RGBA32F, GL_FLOAT } };
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.internalFormat);
		const GLObjectNames before = LiveObjects();
		ASSERT_TRUE(fbo.Initialise(40, 24, c.internalFormat));
		EXPECT_EQ(CurrentBindings(), hostBindings);
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
		{
			ScopedFBOBinding binding(fbo.GetGLID(), ScopedFBOBinding::RestorePrevious);
			EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
		}

		const FFGLTextureStructTag info = fbo.GetTextureInfo();
		EXPECT_EQ(fbo.GetWidth(), 40);
		EXPECT_EQ(fbo.GetHeight(), 24);
		EXPECT_EQ(info.Width, 40u);
		EXPECT_EQ(info.Height, 24u);
		EXPECT_EQ(info.HardwareWidth, 40u);
		EXPECT_EQ(info.HardwareHeight, 24u);
		EXPECT_EQ(static_cast<GLint>(info.Handle),
			AttachmentInteger(fbo.GetGLID(), GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME));
		const struct
		{
			GLenum name;
			bool level;
			GLint expected;
		} parameters[] = {
			{ GL_TEXTURE_INTERNAL_FORMAT, true, c.internalFormat },
			{ GL_TEXTURE_WIDTH, true, 40 },
			{ GL_TEXTURE_RED_TYPE, true, static_cast<GLint>(c.componentType) },
			{ GL_TEXTURE_MIN_FILTER, false, GL_LINEAR },
			{ GL_TEXTURE_MAG_FILTER, false, GL_LINEAR },
			{ GL_TEXTURE_WRAP_S, false, GL_CLAMP_TO_EDGE },
			{ GL_TEXTURE_WRAP_T, false, GL_CLAMP_TO_EDGE },
		};
		for (const auto& p : parameters)
			EXPECT_EQ(TextureInteger(info.Handle, p.name, p.level), p.expected) << std::hex << p.name;
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
	const FFGLTextureStructTag after = fbo.GetTextureInfo();
	EXPECT_EQ(fbo.GetGLID(), framebuffer);
	EXPECT_EQ(after.Handle, info.Handle);
	EXPECT_EQ(after.Width, 16u);
	EXPECT_EQ(after.Height, 8u);
	EXPECT_EQ(TextureInteger(after.Handle, GL_TEXTURE_INTERNAL_FORMAT, true), GL_RGBA8);
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
		const GLfloat orange[4] = { 1.0f, 0.5f, 0.0f, 1.0f };
		glClearBufferfv(GL_COLOR, 0, orange);
	}
	EXPECT_EQ(CurrentBindings(), hostBindings);

	std::vector<std::uint8_t> pixels(8 * 4 * 4);
	{
		Scoped2DTextureBinding binding(fbo.GetTextureInfo().Handle);
		glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	}
	for (std::size_t i = 0; i < pixels.size(); i += 4)
		EXPECT_EQ((RGBA8{ pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3] }), (RGBA8{ 255, 128, 0, 255 }))
			<< i / 4;
	HeadlessGL::BindHostFramebuffer(HostOutput());
	EXPECT_EQ(ReadPixel(0, 0), (RGBA8{ 0, 0, 0, 0 })) << "the host's output was drawn into";
}

// A second Release deletes nothing, not even objects that have since taken the
// freed names.
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
