// GuardModuleFixture: a built watching module (by default Camera Tenebrixor)
// loaded with dlopen and driven through plugMain on the headless GL context, as
// a host drives it: into the fixture's 64x64 host output, from the test's own
// textures.
#pragma once

#include "tests/host/PluginCalls.h"
#include "tests/support/GLFixture.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

class GuardModuleFixture : public GLFixture
{
protected:
	// Parameter indices of both modules.
	static constexpr std::uint32_t kThreshold = 0;
	static constexpr std::uint32_t kHold = 1;
	static constexpr std::uint32_t kRecovery = 2;
	static constexpr std::uint32_t kLayer = 3;
	static constexpr std::uint32_t kOscPort = 4;

	void SetUp() override
	{
		GLFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		std::string error;
		ASSERT_TRUE(module.Load(ModulePath(), error)) << error;
	}

	virtual const char* ModulePath() const { return TENEBRIXOR_MODULE_PATH; }

	void TearDown() override
	{
		for (void* instance : instances)
			module.DeInstantiate(instance);
		instances.clear();
		if (module.IsLoaded())
			module.DeInitialise();
		GLFixture::TearDown();
	}

	// A new instance over the given viewport; deinstantiated by TearDown.
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

	// The "OSC Port" slider value that selects port (6000..9000).
	static float PortSlider(int port) { return static_cast<float>(port - 6000) / 3000.0f; }

	// One frame of one input texture, by default a picture of the output's
	// size filling its texture.
	std::uint32_t Frame(
		void* instance, GLuint texture, std::uint32_t width = kOutputWidth, std::uint32_t height = kOutputHeight)
	{
		return Frame(instance, FFGLTextureStructTag{ width, height, width, height, texture });
	}
	std::uint32_t Frame(void* instance, FFGLTextureStructTag input)
	{
		FFGLTextureStructTag* inputs[1] = { &input };
		ProcessOpenGLStructTag record{ 1, inputs, 0 };
		return module.ProcessOpenGL(instance, record);
	}

	// A width x height RGBA8 picture of one colour.
	static std::vector<std::uint8_t> Uniform(GLint width, GLint height, RGBA8 colour)
	{
		std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height) * 4);
		for (std::size_t i = 0; i < pixels.size(); i += 4)
			std::copy(colour.begin(), colour.end(), pixels.begin() + static_cast<std::ptrdiff_t>(i));
		return pixels;
	}

	ffgltool::PluginModule module;
	std::vector<void*> instances;
};
