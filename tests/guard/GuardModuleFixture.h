// GuardModuleFixture: a built watching module (by default Camera Tenebrixor)
// loaded in SetUp and driven through plugMain on the headless GL context, as a
// host drives it: into the fixture's 64x64 host output, from grey and black
// pictures of the output's size, sending to a UDP receiver on 127.0.0.1.
#pragma once

#include "tests/support/ModuleFixture.h"
#include "tests/support/PluginPort.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

class GuardModuleFixture : public ModuleFixture
{
protected:
	// Parameter indices of the black guard.
	static constexpr std::uint32_t kThreshold = 0;
	static constexpr std::uint32_t kLayer = 3;

	void SetUp() override
	{
		ModuleFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		ASSERT_NO_FATAL_FAILURE(Load(ModulePath()));
		receiver = PluginPortReceiver();
		ASSERT_TRUE(receiver->IsOpen()) << receiver->Error();
		textures[0] = MakeRGBA8Texture(kOutputWidth, kOutputHeight, Uniform(kOutputWidth, kOutputHeight, kGrey));
		textures[1] = MakeRGBA8Texture(kOutputWidth, kOutputHeight, Uniform(kOutputWidth, kOutputHeight, kBlack));
	}

	virtual const char* ModulePath() const { return TENEBRIXOR_MODULE_PATH; }

	void TearDown() override
	{
		if (textures[0] != 0)
			glDeleteTextures(2, textures);
		ModuleFixture::TearDown();
	}

	// The instance, sending to the receiver with the given hold on every rule
	// and recovery sliders.
	void* Sending(void* instance, float hold, float recovery)
	{
		Set(instance, Index("Black Hold"), hold); // a null instance, or an unknown index, refuses these
		Set(instance, Index("Still Hold"), hold);
		Set(instance, Index("Recovery"), recovery);
		Set(instance, Index("OSC Port"), OscPortSlider(receiver->Port()));
		return instance;
	}

	// The index of the module's parameter of that name; past the last one
	// when it has none.
	std::uint32_t Index(const char* name) const
	{
		std::uint32_t index = 0;
		while (index < module.GetNumParameters() && std::strncmp(module.GetParameterName(index), name, 16) != 0)
			++index;
		return index;
	}

	// One frame of the grey or the black picture.
	std::uint32_t Show(void* instance, bool black)
	{
		return Frame(instance, { kOutputWidth, kOutputHeight, kOutputWidth, kOutputHeight, textures[black] });
	}

	// A width x height RGBA8 picture of one colour.
	static std::vector<std::uint8_t> Uniform(GLint width, GLint height, RGBA8 colour)
	{
		std::vector<std::uint8_t> pixels;
		for (GLint i = 0; i < width * height; ++i)
			pixels.insert(pixels.end(), colour.begin(), colour.end());
		return pixels;
	}

	static constexpr RGBA8 kGrey = { 160, 160, 160, 255 };
	static constexpr RGBA8 kBlack = { 0, 0, 0, 255 };
	std::unique_ptr<UdpReceiver> receiver;
	GLuint textures[2] = { 0, 0 }; // grey, black
};
