// FloatOutputFixture: GLFixture with an 8 x 8 RGBA32F output bound in place of
// the host's 8-bit one, so that shader results compare to a few ulps instead
// of to 1/255. ModuleFixture adds a module loaded as a host loads it and one
// instance of it drawing into that output.
#pragma once

#include "tests/support/GLFixture.h"
#include "tools/PluginModule.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using RGBA32F = std::array<float, 4>;

class FloatOutputFixture : public GLFixture
{
protected:
	static constexpr GLint kWidth = 8;
	static constexpr GLint kHeight = 8;
	// What Clear() fills the output with: no frame under test produces it.
	static constexpr RGBA32F kUntouched = { -1.0f, -1.0f, -1.0f, -1.0f };

	void SetUp() override
	{
		GLFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		glGenTextures(1, &colour);
		glBindTexture(GL_TEXTURE_2D, colour);
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, kWidth, kHeight, 0, GL_RGBA, GL_FLOAT, nullptr);
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

	static void Clear() { glClearBufferfv(GL_COLOR, 0, kUntouched.data()); }

	static RGBA32F ReadFloatPixel(GLint x, GLint y)
	{
		RGBA32F pixel = {};
		glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, pixel.data());
		return pixel;
	}

	// Every pixel of the output equals expected within tolerance.
	static ::testing::AssertionResult OutputIs(const RGBA32F& expected, float tolerance = 1e-5f)
	{
		std::array<RGBA32F, kWidth* kHeight> pixels = {};
		glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_FLOAT, pixels.data());
		for (int i = 0; i < kWidth * kHeight; ++i)
		{
			for (int c = 0; c < 4; ++c)
			{
				if (!(std::abs(pixels[i][c] - expected[c]) <= tolerance))
					return ::testing::AssertionFailure() << "pixel " << i % kWidth << "," << i / kWidth << " channel "
														 << c << " is " << pixels[i][c] << ", expected " << expected[c];
			}
		}
		return ::testing::AssertionSuccess();
	}

private:
	GLuint framebuffer = 0;
	GLuint colour = 0;
};

class ModuleFixture : public FloatOutputFixture
{
protected:
	using Clock = std::chrono::steady_clock;

	// Loads the module and makes one instance of the output's size.
	void Start(const char* path)
	{
		std::string error;
		ASSERT_TRUE(module.Load(path, error)) << error;
		beforeInstantiate = Clock::now();
		instance =
			module.Instantiate({ 0, 0, static_cast<std::uint32_t>(kWidth), static_cast<std::uint32_t>(kHeight) });
		afterInstantiate = Clock::now();
		ASSERT_NE(instance, nullptr);
	}

	void TearDown() override
	{
		if (instance != nullptr)
		{
			EXPECT_EQ(module.DeInstantiate(instance), FF_SUCCESS);
		}
		if (module.IsLoaded())
			module.DeInitialise();
		module.Unload();
		FloatOutputFixture::TearDown();
	}

	void Set(std::uint32_t index, float value)
	{
		ASSERT_EQ(module.SetFloatParameter(instance, index, value), FF_SUCCESS) << "parameter " << index;
	}

	// Code 17 with these inputs (entries may be null).
	std::uint32_t Frame(std::vector<FFGLTextureStructTag*> inputs = {})
	{
		ProcessOpenGLStructTag record = { static_cast<std::uint32_t>(inputs.size()),
			inputs.empty() ? nullptr : inputs.data(), 0 };
		return module.ProcessOpenGL(instance, record);
	}

	ffgltool::PluginModule module;
	void* instance = nullptr;
	Clock::time_point beforeInstantiate;
	Clock::time_point afterInstantiate;
};
