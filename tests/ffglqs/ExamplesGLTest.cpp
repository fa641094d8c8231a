// The example plug-ins, loaded with dlopen and driven through plugMain like a
// host does: parameters set through code 8, frames through code 17, output
// pixels read back and compared with what the parameters ask for, frame after
// frame.
#include "tests/ffglqs/ModuleFixture.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;
using ExampleModuleTest = ModuleFixture;

double Seconds(Clock::duration duration)
{
	return std::chrono::duration<double>(duration).count();
}

// ---------------------------------------------------------------------------
// Source: colour from hue, saturation, brightness and alpha; dimmed along a
// sawtooth in time.

enum ColourRampParam : std::uint32_t
{
	kHue,
	kSaturation,
	kBrightness,
	kAlpha,
	kRate,
	kDepth
};

TEST_F(ExampleModuleTest, SourceIdentityAndInputs)
{
	Start(COLOUR_RAMP_MODULE);
	const auto* info = static_cast<const PluginInfoStructTag*>(module->Call(FF_GET_INFO, FFMixed{ 0 }).PointerValue);
	ASSERT_NE(info, nullptr);
	EXPECT_EQ(std::string(info->PluginUniqueID, 4), "QSCR");
	EXPECT_EQ(info->PluginType, FF_SOURCE);
	EXPECT_EQ(module->CallNumber(FF_GET_PLUGIN_CAPS, FF_CAP_MINIMUM_INPUT_FRAMES), 0u);
	EXPECT_EQ(module->CallNumber(FF_GET_PLUGIN_CAPS, FF_CAP_MAXIMUM_INPUT_FRAMES), 0u);
	EXPECT_EQ(module->CallNumber(FF_GET_PARAMETER_TYPE, kHue), FF_TYPE_HUE);
	EXPECT_EQ(module->CallNumber(FF_GET_PARAMETER_TYPE, kAlpha), FF_TYPE_ALPHA);
}

TEST_F(ExampleModuleTest, SourceFillsTheOutputWithTheColourOfEachFrame)
{
	Start(COLOUR_RAMP_MODULE);
	struct Case
	{
		float h, s, v, a;
		RGBA32F expected;
	};
	const Case cases[] = {
		{ 0.0f, 1.0f, 1.0f, 1.0f, { 1.0f, 0.0f, 0.0f, 1.0f } },
		{ 0.5f, 1.0f, 1.0f, 0.5f, { 0.0f, 1.0f, 1.0f, 0.5f } },
		// Hue 1 is red again, not magenta.
		{ 1.0f, 1.0f, 1.0f, 1.0f, { 1.0f, 0.0f, 0.0f, 1.0f } },
		{ 0.25f, 0.5f, 0.8f, 1.0f, { 0.6f, 0.8f, 0.4f, 1.0f } },
		{ 0.7f, 0.0f, 0.3f, 0.25f, { 0.3f, 0.3f, 0.3f, 0.25f } },
		{ 0.0f, 0.0f, 1.0f, 1.0f, { 1.0f, 1.0f, 1.0f, 1.0f } },
	};
	for(const Case& c : cases)
	{
		Set(kHue, c.h);
		Set(kSaturation, c.s);
		Set(kBrightness, c.v);
		Set(kAlpha, c.a);
		Clear();
		ASSERT_EQ(module->ProcessFrame(instance, {}), FF_SUCCESS);
		EXPECT_TRUE(OutputIs(c.expected)) << "hsva " << c.h << " " << c.s << " " << c.v << " " << c.a;
	}
}

TEST_F(ExampleModuleTest, SourceRampFollowsSecondsSinceInstantiation)
{
	Start(COLOUR_RAMP_MODULE);
	// White, fully dimmed over a 10-second cycle: the output is 1 - time / 10,
	// so each frame's time can be read back from the red channel.
	Set(kHue, 0.0f);
	Set(kSaturation, 0.0f);
	Set(kBrightness, 1.0f);
	Set(kDepth, 1.0f);
	Set(kRate, 0.1f);

	double previous = 0.0;
	for(int frame = 0; frame < 4; ++frame)
	{
		const Clock::time_point before = Clock::now();
		ASSERT_EQ(module->ProcessFrame(instance, {}), FF_SUCCESS);
		const Clock::time_point after = Clock::now();

		const RGBA32F pixel = ReadFloatPixel(kWidth / 2, kHeight / 2);
		EXPECT_EQ(pixel[0], pixel[1]);
		EXPECT_EQ(pixel[3], 1.0f);
		const double shaderTime = (1.0 - pixel[0]) / 0.1;
		// The instance's clock starts during instantiation.
		EXPECT_GE(shaderTime, Seconds(before - afterInstantiate) - 1e-3) << "frame " << frame;
		EXPECT_LE(shaderTime, Seconds(after - beforeInstantiate) + 1e-3) << "frame " << frame;
		EXPECT_GT(shaderTime, previous) << "frame " << frame;
		previous = shaderTime;
	}
}

// ---------------------------------------------------------------------------
// Effect: gain (range), channel (option), invert (boolean), flash (trigger).

enum ChannelGainParam : std::uint32_t
{
	kGain,
	kChannel,
	kInvert,
	kFlash
};

TEST_F(ExampleModuleTest, EffectParametersAsTheHostSeesThem)
{
	Start(CHANNEL_GAIN_MODULE);
	EXPECT_EQ(module->CallNumber(FF_GET_PLUGIN_CAPS, FF_CAP_MINIMUM_INPUT_FRAMES), 1u);
	EXPECT_EQ(module->CallNumber(FF_GET_PLUGIN_CAPS, FF_CAP_MAXIMUM_INPUT_FRAMES), 1u);
	const std::uint32_t types[] = { FF_TYPE_STANDARD, FF_TYPE_OPTION, FF_TYPE_BOOLEAN, FF_TYPE_EVENT };
	for(std::uint32_t i = 0; i < 4; ++i)
		EXPECT_EQ(module->CallNumber(FF_GET_PARAMETER_TYPE, i), types[i]);
	GetRangeStructTag range = { kGain, 0.0f, 0.0f };
	module->CallRecord(FF_GET_RANGE, &range);
	EXPECT_EQ(range.max, 4.0f);
	EXPECT_EQ(module->DefaultFloat(kGain), 1.0f);
	EXPECT_EQ(module->CallNumber(FF_GET_NUM_PARAMETER_ELEMENTS, kChannel), 4u);

	// Display of the option: its number.
	Set(kChannel, 2.0f);
	const char* display = static_cast<const char*>(module->Call(FF_GET_PARAMETER_DISPLAY, FFMixed{ kChannel }, instance).PointerValue);
	ASSERT_NE(display, nullptr);
	EXPECT_STREQ(display, "2.000000");
}

TEST_F(ExampleModuleTest, EffectOutputFollowsItsParametersFrameAfterFrame)
{
	Start(CHANNEL_GAIN_MODULE);
	// A 2 x 2 picture of (0.2, 0.4, 0.6) inside a 4 x 4 texture of magenta.
	std::vector<std::uint8_t> texels(4 * 4 * 4);
	for(int y = 0; y < 4; ++y)
	{
		for(int x = 0; x < 4; ++x)
		{
			const bool inside = x < 2 && y < 2;
			std::uint8_t* t = &texels[(y * 4 + x) * 4];
			t[0] = inside ? 51 : 255;
			t[1] = inside ? 102 : 0;
			t[2] = inside ? 153 : 255;
			t[3] = 255;
		}
	}
	const GLuint texture = MakeRGBA8Texture(4, 4, texels);
	FFGLTextureStructTag input = { 2, 2, 4, 4, texture };

	struct Frame
	{
		float gain, channel, invert;
		bool fireFlash;
		RGBA32F expected;
	};
	const Frame frames[] = {
		{ 1.0f, 0.0f, 0.0f, false, { 0.2f, 0.4f, 0.6f, 1.0f } },
		{ 2.0f, 0.0f, 0.0f, false, { 0.4f, 0.8f, 1.0f, 1.0f } },
		{ 2.0f, 2.0f, 0.0f, false, { 0.0f, 0.8f, 0.0f, 1.0f } },
		// 1.7 selects the option of number 1.
		{ 0.5f, 1.7f, 0.0f, false, { 0.1f, 0.0f, 0.0f, 1.0f } },
		{ 1.0f, 3.0f, 1.0f, false, { 1.0f, 1.0f, 0.4f, 1.0f } },
		{ 1.0f, 0.0f, 0.0f, true, { 1.0f, 1.0f, 1.0f, 1.0f } },
		// The flash lasted one frame without the host resetting it.
		{ 1.0f, 0.0f, 0.0f, false, { 0.2f, 0.4f, 0.6f, 1.0f } },
		{ 3.0f, 0.0f, 0.0f, true, { 1.0f, 1.0f, 1.0f, 1.0f } },
		{ 3.0f, 0.0f, 0.0f, false, { 0.6f, 1.0f, 1.0f, 1.0f } },
	};
	int index = 0;
	for(const Frame& f : frames)
	{
		Set(kGain, f.gain);
		Set(kChannel, f.channel);
		Set(kInvert, f.invert);
		if(f.fireFlash)
			Set(kFlash, 1.0f);
		EXPECT_EQ(module->GetFloat(instance, kChannel), f.channel);
		Clear();
		ASSERT_EQ(module->ProcessFrame(instance, { &input }), FF_SUCCESS);
		EXPECT_TRUE(OutputIs(f.expected, 1e-4f)) << "frame " << index;
		EXPECT_EQ(module->GetFloat(instance, kFlash), 0.0f) << "frame " << index;
		++index;
	}

	// Without its input the effect refuses the frame and draws nothing.
	Clear();
	EXPECT_EQ(module->ProcessFrame(instance, {}), FF_FAIL);
	EXPECT_TRUE(OutputIs({ -1.0f, -1.0f, -1.0f, -1.0f }));
	glDeleteTextures(1, &texture);
}

// ---------------------------------------------------------------------------
// Mixer: blends its first input into its second by mixVal.

TEST_F(ExampleModuleTest, MixerBlendsItsInputsByMixVal)
{
	Start(CROSSFADE_MODULE);
	EXPECT_EQ(module->CallNumber(FF_GET_PLUGIN_CAPS, FF_CAP_MINIMUM_INPUT_FRAMES), 2u);
	EXPECT_EQ(module->CallNumber(FF_GET_PLUGIN_CAPS, FF_CAP_MAXIMUM_INPUT_FRAMES), 2u);
	const char* name = static_cast<const char*>(module->Call(FF_GET_PARAMETER_NAME, FFMixed{ 0 }).PointerValue);
	ASSERT_NE(name, nullptr);
	EXPECT_STREQ(name, "mixVal");

	// Destination: a 2 x 2 red picture inside a 4 x 4 green texture. Source:
	// a 1 x 1 blue picture inside a 2 x 2 yellow texture.
	std::vector<std::uint8_t> destinationTexels(4 * 4 * 4);
	for(int i = 0; i < 16; ++i)
	{
		const bool inside = (i % 4) < 2 && (i / 4) < 2;
		const std::uint8_t texel[4] = { static_cast<std::uint8_t>(inside ? 255 : 0), static_cast<std::uint8_t>(inside ? 0 : 255), 0, 255 };
		std::memcpy(&destinationTexels[i * 4], texel, 4);
	}
	const std::vector<std::uint8_t> sourceTexels = {
		0, 0, 255, 255, 255, 255, 0, 255,
		255, 255, 0, 255, 255, 255, 0, 255
	};
	const GLuint destinationTexture = MakeRGBA8Texture(4, 4, destinationTexels);
	const GLuint sourceTexture = MakeRGBA8Texture(2, 2, sourceTexels);
	FFGLTextureStructTag destination = { 2, 2, 4, 4, destinationTexture };
	FFGLTextureStructTag source = { 1, 1, 2, 2, sourceTexture };

	struct Frame
	{
		float mix;
		RGBA32F expected;
	};
	const Frame frames[] = {
		{ 0.0f, { 1.0f, 0.0f, 0.0f, 1.0f } },
		{ 0.25f, { 0.75f, 0.0f, 0.25f, 1.0f } },
		{ 1.0f, { 0.0f, 0.0f, 1.0f, 1.0f } },
		{ 0.5f, { 0.5f, 0.0f, 0.5f, 1.0f } },
	};
	for(const Frame& f : frames)
	{
		Set(0, f.mix);
		Clear();
		ASSERT_EQ(module->ProcessFrame(instance, { &destination, &source }), FF_SUCCESS);
		EXPECT_TRUE(OutputIs(f.expected, 1e-5f)) << "mixVal " << f.mix;
	}

	Clear();
	EXPECT_EQ(module->ProcessFrame(instance, { &destination }), FF_FAIL);
	EXPECT_TRUE(OutputIs({ -1.0f, -1.0f, -1.0f, -1.0f }));
	glDeleteTextures(1, &destinationTexture);
	glDeleteTextures(1, &sourceTexture);
}

}// namespace
