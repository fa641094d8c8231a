// ModuleFixture: GLFixture with a module loaded as a host loads it and one
// instance of it drawing into the host output; in-process plug-ins draw into
// the same output. OutputIs compares every pixel with a colour to within the
// 8-bit output's rounding.
#pragma once

#include "tests/support/GLFixture.h"
#include "tools/PluginModule.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

using RGBA = std::array<float, 4>;

class ModuleFixture : public GLFixture
{
protected:
	// What Clear() fills the output with: no frame under test produces it.
	static constexpr RGBA kUntouched = { 1.0f, 0.0f, 1.0f, 0.0f };

	static void Clear() { glClearBufferfv(GL_COLOR, 0, kUntouched.data()); }

	static ::testing::AssertionResult OutputIs(const RGBA& expected)
	{
		const std::vector<std::uint8_t> pixels = ReadPixels(0, 0, kOutputWidth, kOutputHeight);
		for (std::size_t i = 0; i < pixels.size(); ++i)
			if (!(std::abs(pixels[i] / 255.0f - expected[i % 4]) <= 1.5f / 255.0f))
				return ::testing::AssertionFailure() << "pixel " << i / 4 % kOutputWidth << "," << i / 4 / kOutputWidth
													 << " channel " << i % 4 << " is " << pixels[i] / 255.0f;
		return ::testing::AssertionSuccess();
	}

	void Start(const char* path)
	{
		std::string error;
		ASSERT_TRUE(module.Load(path, error)) << error;
		instance = module.Instantiate({ 0, 0, std::uint32_t(kOutputWidth), std::uint32_t(kOutputHeight) });
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
		GLFixture::TearDown();
	}

	void Set(std::uint32_t index, float value)
	{
		ASSERT_EQ(module.SetFloatParameter(instance, index, value), FF_SUCCESS) << "parameter " << index;
	}

	// Code 17 with these inputs (entries may be null).
	std::uint32_t Frame(std::vector<FFGLTextureStructTag*> inputs = {})
	{
		ProcessOpenGLStructTag record = { static_cast<std::uint32_t>(inputs.size()), inputs.data(), 0 };
		return module.ProcessOpenGL(instance, record);
	}

	ffgltool::PluginModule module;
	void* instance = nullptr;
};
