// The example plug-ins, driven through plugMain as a host drives them:
// parameters through code 8, frames through code 17, and the output pixels
// compared with what the parameters ask for, frame after frame.
#include "tests/support/ModuleFixture.h"

#include <cstdint>
#include <vector>

namespace
{
class ExampleModuleTest : public ModuleFixture
{
protected:
	// A 2 x 2 texture whose lower-left texel alone is inside: a 1 x 1 picture
	// in a larger host texture.
	static GLuint Picture(RGBA8 inside, RGBA8 outside)
	{
		std::vector<std::uint8_t> texels(16);
		for (std::size_t i = 0; i < texels.size(); ++i)
			texels[i] = i < 4 ? inside[i] : outside[i % 4];
		return MakeRGBA8Texture(2, 2, texels);
	}

	void Start(const char* path)
	{
		ASSERT_NO_FATAL_FAILURE(Load(path));
		ASSERT_NE(instance = Instantiate(), nullptr);
	}
	void* instance = nullptr;
};

// Source: hue, saturation, brightness, alpha. The colour conversion itself is
// shown by the framework's own tests.
TEST_F(ExampleModuleTest, SourceFillsTheOutputWithItsColour)
{
	Start(COLOUR_RAMP_MODULE);
	const float hsva[] = { 0.5f, 1.0f, 1.0f, 0.5f };
	for (std::uint32_t i = 0; i < 4; ++i)
		EXPECT_EQ(Set(instance, i, hsva[i]), FF_SUCCESS) << "parameter " << i;
	Clear();
	ASSERT_EQ(Frame(instance), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ 0.0f, 1.0f, 1.0f, 0.5f }));
}

// Effect: gain (range 0..4), channel (option), invert (boolean), flash
// (trigger, one frame of white).
TEST_F(ExampleModuleTest, EffectOutputFollowsItsParametersFrameAfterFrame)
{
	Start(CHANNEL_GAIN_MODULE);
	// A picture of (0.2, 0.4, 0.6) in a texture of magenta.
	const GLuint texture = Picture({ 51, 102, 153, 255 }, { 255, 0, 255, 255 });
	FFGLTextureStructTag input = { 1, 1, 2, 2, texture };
	const struct
	{
		float gainChannelInvertFlash[4];
		RGBA expected;
	} frames[] = { { { 2.0f, 0.0f, 0.0f, 0.0f }, { 0.4f, 0.8f, 1.0f, 1.0f } },
		{ { 2.0f, 2.0f, 0.0f, 0.0f }, { 0.0f, 0.8f, 0.0f, 1.0f } },
		{ { 0.5f, 1.7f, 0.0f, 0.0f }, { 0.1f, 0.0f, 0.0f, 1.0f } }, // 1.7 selects option 1
		{ { 1.0f, 3.0f, 1.0f, 0.0f }, { 1.0f, 1.0f, 0.4f, 1.0f } },
		{ { 1.0f, 0.0f, 0.0f, 1.0f }, { 1.0f, 1.0f, 1.0f, 1.0f } },
		{ { 1.0f, 0.0f, 0.0f, 0.0f }, { 0.2f, 0.4f, 0.6f, 1.0f } } }; // the flash lasted one frame
	for (const auto& f : frames)
	{
		for (std::uint32_t i = 0; i < (f.gainChannelInvertFlash[3] != 0.0f ? 4u : 3u); ++i) // the flash only to fire it
			EXPECT_EQ(Set(instance, i, f.gainChannelInvertFlash[i]), FF_SUCCESS) << "parameter " << i;
		Clear();
		ASSERT_EQ(Frame(instance, { &input }), FF_SUCCESS);
		EXPECT_TRUE(OutputIs(f.expected)) << "channel " << f.gainChannelInvertFlash[1];
	}
	glDeleteTextures(1, &texture);
}

// Mixer: blends its first input (destination) into its second (source) by
// mixVal; unit 0 is active again afterwards and unit 1 holds no texture.
TEST_F(ExampleModuleTest, MixerBlendsItsInputsByMixVal)
{
	Start(CROSSFADE_MODULE);
	// The source fills its whole texture: maxUV differs between the inputs.
	const GLuint textures[2] = { Picture({ 255, 0, 0, 255 }, { 0, 255, 0, 255 }),
		MakeRGBA8Texture(1, 1, { 0, 0, 255, 255 }) };
	FFGLTextureStructTag destination = { 1, 1, 2, 2, textures[0] }, source = { 1, 1, 1, 1, textures[1] };
	Clear();
	EXPECT_EQ(Frame(instance, { &destination, nullptr }), FF_FAIL);
	// Two inputs at hand but only one counted, or none given at all.
	FFGLTextureStructTag* both[2] = { &destination, &source };
	ProcessOpenGLStructTag oneCounted = { 1, both, 0 }, noList = { 2, nullptr, 0 };
	EXPECT_EQ(module.ProcessOpenGL(instance, oneCounted), FF_FAIL);
	EXPECT_EQ(module.ProcessOpenGL(instance, noList), FF_FAIL);
	EXPECT_TRUE(OutputIs(kUntouched));
	const GLBindings before = CurrentBindings();
	EXPECT_EQ(Set(instance, 0, 0.25f), FF_SUCCESS);
	ASSERT_EQ(Frame(instance, { &destination, &source }), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ 0.75f, 0.0f, 0.25f, 1.0f }));
	EXPECT_EQ(CurrentBindings(), before);
	glActiveTexture(GL_TEXTURE1);
	GLint unitOneTexture = -1;
	glGetIntegerv(GL_TEXTURE_BINDING_2D, &unitOneTexture);
	glActiveTexture(GL_TEXTURE0);
	EXPECT_EQ(unitOneTexture, 0);
	glDeleteTextures(2, textures);
}
} // namespace
