// GuardModuleFixture: the built Camera Tenebrixor module loaded with dlopen and
// driven through plugMain on the headless GL context, as a host drives it: the
// fixture's 64x64 host output is bound for drawing and reading with the
// viewport over all of it, and the test's own textures are the inputs.
#pragma once

#include "tests/host/PluginModule.h"
#include "tests/support/GLFixture.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class GuardModuleFixture : public GLFixture
{
protected:
	// Parameter indices of the guard.
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
		ASSERT_TRUE(module.Loaded()) << module.error;
	}

	void TearDown() override
	{
		for (void* instance : instances)
			module.Call(FF_DEINSTANTIATE_GL, tests::Number(0), instance);
		instances.clear();
		if (module.Loaded())
			module.Call(FF_DEINITIALISE);
		GLFixture::TearDown();
	}

	// A new instance over the given viewport; deinstantiated by TearDown.
	void* Instantiate(const FFGLViewportStructTag& viewport = { 0, 0, kOutputWidth, kOutputHeight })
	{
		const FFMixed result = module.Call(FF_INSTANTIATE_GL, tests::Pointer(&viewport));
		if (tests::Bits(result) == tests::kFail64)
			return nullptr;
		instances.push_back(result.PointerValue);
		return result.PointerValue;
	}

	std::uint64_t Set(void* instance, std::uint32_t index, float value)
	{
		SetParameterStructTag set{ index, tests::FloatArg(value) };
		return module.Call64(FF_SET_PARAMETER, tests::Pointer(&set), instance);
	}

	std::string Display(void* instance, std::uint32_t index)
	{
		const auto* text = static_cast<const char*>(module.Call(FF_GET_PARAMETER_DISPLAY, tests::Number(index), instance).PointerValue);
		return text != nullptr ? text : "<null>";
	}

	// The "OSC Port" slider value that selects port (6000..9000).
	static float PortSlider(int port) { return static_cast<float>(port - 6000) / 3000.0f; }

	// One frame with one input texture holding a width x height picture in a
	// hardwareWidth x hardwareHeight texture.
	std::uint64_t Frame(void* instance, GLuint texture, std::uint32_t width, std::uint32_t height,
		std::uint32_t hardwareWidth, std::uint32_t hardwareHeight)
	{
		FFGLTextureStructTag input{ width, height, hardwareWidth, hardwareHeight, texture };
		FFGLTextureStructTag* inputs[1] = { &input };
		ProcessOpenGLStructTag record{ 1, inputs, 0 };
		return module.Call64(FF_PROCESS_OPENGL, tests::Pointer(&record), instance);
	}
	// One frame of a texture exactly the size of its picture.
	std::uint64_t Frame(void* instance, GLuint texture, std::uint32_t width, std::uint32_t height)
	{
		return Frame(instance, texture, width, height, width, height);
	}

	// A width x height RGBA8 picture of one colour, rows bottom-up.
	static std::vector<std::uint8_t> Uniform(GLint width, GLint height, RGBA8 colour)
	{
		std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height) * 4);
		for (std::size_t i = 0; i < pixels.size(); i += 4)
			std::copy(colour.begin(), colour.end(), pixels.begin() + static_cast<std::ptrdiff_t>(i));
		return pixels;
	}

	// Sets one pixel (x, y from the bottom left) of a picture of the given width.
	static void Put(std::vector<std::uint8_t>& pixels, GLint width, GLint x, GLint y, RGBA8 colour)
	{
		const auto at = static_cast<std::size_t>((y * width + x) * 4);
		std::copy(colour.begin(), colour.end(), pixels.begin() + static_cast<std::ptrdiff_t>(at));
	}

	tests::PluginModule module{ TENEBRIXOR_MODULE_PATH };
	std::vector<void*> instances;
};
