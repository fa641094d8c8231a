// FloatOutputFixture: GLFixture with a 32-bit float output bound in place of
// the host's 8-bit one, so that tests compare shader results to a few ulps
// instead of to 1/255.
#pragma once

#include "tests/support/GLFixture.h"

#include <array>

using RGBA32F = std::array<float, 4>;

class FloatOutputFixture : public GLFixture
{
protected:
	static constexpr GLint kWidth = 8;
	static constexpr GLint kHeight = 8;

	void SetUp() override
	{
		GLFixture::SetUp();
		if(IsSkipped() || HasFatalFailure())
			return;
		glGenTextures(1, &colour);
		glBindTexture(GL_TEXTURE_2D, colour);
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, kWidth, kHeight, 0, GL_RGBA, GL_FLOAT, nullptr);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
		glBindTexture(GL_TEXTURE_2D, 0);
		glGenFramebuffers(1, &framebuffer);
		glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
		ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
		glViewport(0, 0, kWidth, kHeight);
		Clear();
	}

	void TearDown() override
	{
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		glDeleteFramebuffers(1, &framebuffer);
		glDeleteTextures(1, &colour);
		GLFixture::TearDown();
	}

	// Fills the output with a value no frame under test produces.
	static void Clear()
	{
		glClearColor(-1.0f, -1.0f, -1.0f, -1.0f);
		glClear(GL_COLOR_BUFFER_BIT);
	}

	static RGBA32F ReadFloatPixel(GLint x, GLint y)
	{
		RGBA32F pixel = {};
		glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, pixel.data());
		return pixel;
	}

	// Every pixel of the output equals expected within tolerance.
	static ::testing::AssertionResult OutputIs(const RGBA32F& expected, float tolerance = 1e-5f)
	{
		std::array<float, 4 * kWidth * kHeight> pixels = {};
		glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_FLOAT, pixels.data());
		for(int i = 0; i < kWidth * kHeight; ++i)
		{
			for(int c = 0; c < 4; ++c)
			{
				const float value = pixels[i * 4 + c];
				if(!(value >= expected[c] - tolerance && value <= expected[c] + tolerance))
				{
					return ::testing::AssertionFailure() << "pixel " << i % kWidth << "," << i / kWidth << " is ("
						<< pixels[i * 4] << ", " << pixels[i * 4 + 1] << ", " << pixels[i * 4 + 2] << ", " << pixels[i * 4 + 3]
						<< "), expected (" << expected[0] << ", " << expected[1] << ", " << expected[2] << ", " << expected[3] << ")";
				}
			}
		}
		return ::testing::AssertionSuccess();
	}

private:
	GLuint framebuffer = 0;
	GLuint colour = 0;
};
