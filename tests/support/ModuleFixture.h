// ModuleFixture: GLFixture driving a plug-in module loaded as a host loads it
// (ffgltool::PluginModule), its instances drawing into the host output; an
// in-process plug-in may draw into the same output. Instances made through
// Instantiate are deinstantiated by TearDown, which then deinitialises the
// module. OutputIs compares every pixel with a colour to within the 8-bit
// output's rounding.
#pragma once

#include "tests/support/GLFixture.h"
#include "tools/PluginModule.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
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

	// Call through ASSERT_NO_FATAL_FAILURE: a module that does not load ends the test.
	void Load(const char* path)
	{
		std::string error;
		ASSERT_TRUE(module.Load(path, error)) << error;
	}

	void TearDown() override
	{
		for (void* instance : instances)
			EXPECT_EQ(module.DeInstantiate(instance), FF_SUCCESS);
		instances.clear();
		if (module.IsLoaded())
			module.DeInitialise();
		GLFixture::TearDown();
	}

	// A new instance over the given viewport, or null; deinstantiated by TearDown.
	void* Instantiate(const FFGLViewportStructTag& viewport = { 0, 0, kOutputWidth, kOutputHeight })
	{
		void* instance = module.Instantiate(viewport);
		if (instance != nullptr)
			instances.push_back(instance);
		return instance;
	}

	std::uint32_t Set(void* instance, std::uint32_t index, float value)
	{
		return module.SetFloatParameter(instance, index, value);
	}

	// Code 17 with these inputs (entries may be null), or with the one input.
	// Neither allocates: the frame-allocation test counts every operator new.
	std::uint32_t Frame(void* instance, std::initializer_list<FFGLTextureStructTag*> inputs = {})
	{
		ProcessOpenGLStructTag record = { static_cast<std::uint32_t>(inputs.size()),
			const_cast<FFGLTextureStructTag**>(inputs.begin()), 0 };
		return module.ProcessOpenGL(instance, record);
	}
	std::uint32_t Frame(void* instance, FFGLTextureStructTag input) { return Frame(instance, { &input }); }

	ffgltool::PluginModule module;
	std::vector<void*> instances;
};
