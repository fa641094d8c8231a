// The example plug-ins, driven through plugMain as a host drives them:
// parameters through code 8, frames through code 17, and the output pixels
// compared with what the parameters ask for, frame after frame.
#include "tests/ffglqs/FloatOutputFixture.h"

#include <cstdint>
#include <vector>

namespace
{
class ExampleModuleTest : public ModuleFixture
{
protected:
	// A width x height texture whose lower-left pictureWidth x pictureHeight
	// texels are inside, the rest outside: a picture in a larger host texture.
	static GLuint PictureTexture(
		int width, int height, int pictureWidth, int pictureHeight, RGBA8 inside, RGBA8 outside)
	{
		std::vector<std::uint8_t> texels;
		for (int y = 0; y < height; ++y)
			for (int x = 0; x < width; ++x)
			{
				const RGBA8& texel = x < pictureWidth && y < pictureHeight ? inside : outside;
				texels.insert(texels.end(), texel.begin(), texel.end());
			}
		return MakeRGBA8Texture(width, height, texels);
	}
};

// Source: hue, saturation, brightness, alpha, rate, depth.
TEST_F(ExampleModuleTest, SourceFillsTheOutputWithTheColourOfEachFrame)
{
	Start(COLOUR_RAMP_MODULE);
	const struct
	{
		float h, s, v, a;
		RGBA32F expected;
	} cases[] = {
		{ 0.5f, 1.0f, 1.0f, 0.5f, { 0.0f, 1.0f, 1.0f, 0.5f } },
		{ 1.0f, 1.0f, 1.0f, 1.0f, { 1.0f, 0.0f, 0.0f, 1.0f } }, // hue 1 is red again, not magenta
		{ 0.25f, 0.5f, 0.8f, 1.0f, { 0.6f, 0.8f, 0.4f, 1.0f } },
	};
	for (const auto& c : cases)
	{
		Set(0, c.h);
		Set(1, c.s);
		Set(2, c.v);
		Set(3, c.a);
		Clear();
		ASSERT_EQ(Frame(), FF_SUCCESS);
		EXPECT_TRUE(OutputIs(c.expected)) << "hsva " << c.h << " " << c.s << " " << c.v << " " << c.a;
	}
	// White, fully dimmed over a 10-second cycle: the output is 1 - time / 10,
	// time counted from instantiation.
	Set(1, 0.0f);
	Set(2, 1.0f);
	Set(4, 0.1f);
	Set(5, 1.0f);
	ASSERT_EQ(Frame(), FF_SUCCESS);
	const double shaderTime = (1.0 - ReadFloatPixel(kWidth / 2, kHeight / 2)[0]) / 0.1;
	EXPECT_GT(shaderTime, 0.0);
	EXPECT_LE(shaderTime, std::chrono::duration<double>(Clock::now() - beforeInstantiate).count() + 1e-3);
}

// Effect: gain (range 0..4), channel (option), invert (boolean), flash
// (trigger, one frame of white).
TEST_F(ExampleModuleTest, EffectOutputFollowsItsParametersFrameAfterFrame)
{
	Start(CHANNEL_GAIN_MODULE);
	// A 2 x 2 picture of (0.2, 0.4, 0.6) inside a 4 x 4 texture of magenta.
	const GLuint texture = PictureTexture(4, 4, 2, 2, { 51, 102, 153, 255 }, { 255, 0, 255, 255 });
	FFGLTextureStructTag input = { 2, 2, 4, 4, texture };
	const struct
	{
		float gain, channel, invert;
		bool fireFlash;
		RGBA32F expected;
	} frames[] = {
		{ 2.0f, 0.0f, 0.0f, false, { 0.4f, 0.8f, 1.0f, 1.0f } },
		{ 2.0f, 2.0f, 0.0f, false, { 0.0f, 0.8f, 0.0f, 1.0f } },
		{ 0.5f, 1.7f, 0.0f, false, { 0.1f, 0.0f, 0.0f, 1.0f } }, // 1.7 selects option 1
		{ 1.0f, 3.0f, 1.0f, false, { 1.0f, 1.0f, 0.4f, 1.0f } }, { 1.0f, 0.0f, 0.0f, true, { 1.0f, 1.0f, 1.0f, 1.0f } },
		{ 1.0f, 0.0f, 0.0f, false, { 0.2f, 0.4f, 0.6f, 1.0f } }, // the flash lasted one frame
	};
	for (const auto& f : frames)
	{
		Set(0, f.gain);
		Set(1, f.channel);
		Set(2, f.invert);
		if (f.fireFlash)
			Set(3, 1.0f);
		Clear();
		ASSERT_EQ(Frame({ &input }), FF_SUCCESS);
		EXPECT_TRUE(OutputIs(f.expected, 1e-4f)) << "gain " << f.gain << " channel " << f.channel;
	}
	Clear();
	EXPECT_EQ(Frame(), FF_FAIL);
	EXPECT_TRUE(OutputIs(kUntouched));
	glDeleteTextures(1, &texture);
}

// Mixer: blends its first input (destination) into its second (source) by
// mixVal; unit 0 is active again afterwards and unit 1 holds no texture.
TEST_F(ExampleModuleTest, MixerBlendsItsInputsByMixVal)
{
	Start(CROSSFADE_MODULE);
	const GLuint destinationTexture = PictureTexture(4, 4, 2, 2, { 255, 0, 0, 255 }, { 0, 255, 0, 255 });
	const GLuint sourceTexture = PictureTexture(2, 2, 1, 1, { 0, 0, 255, 255 }, { 255, 255, 0, 255 });
	FFGLTextureStructTag destination = { 2, 2, 4, 4, destinationTexture };
	FFGLTextureStructTag source = { 1, 1, 2, 2, sourceTexture };
	EXPECT_EQ(Frame({ &destination }), FF_FAIL);
	EXPECT_EQ(Frame({ &destination, nullptr }), FF_FAIL);
	EXPECT_TRUE(OutputIs(kUntouched));

	const GLBindings before = CurrentBindings();
	Set(0, 0.25f);
	ASSERT_EQ(Frame({ &destination, &source }), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ 0.75f, 0.0f, 0.25f, 1.0f }));
	EXPECT_EQ(CurrentBindings(), before);
	glActiveTexture(GL_TEXTURE1);
	GLint unitOneTexture = -1;
	glGetIntegerv(GL_TEXTURE_BINDING_2D, &unitOneTexture);
	glActiveTexture(GL_TEXTURE0);
	EXPECT_EQ(unitOneTexture, 0);
	glDeleteTextures(1, &destinationTexture);
	glDeleteTextures(1, &sourceTexture);
}

} // namespace
