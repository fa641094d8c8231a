// The guard's frames as a host sees them through plugMain: the picture passes
// through unchanged, only the picture's part of a larger texture is used, the
// context is left as promised, and frames without an input draw nothing.
#include "ffglex/FFGLShader.h"
#include "tests/guard/GuardModuleFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{
using GuardFrameGLTest = GuardModuleFixture;

// Every pixel different in every channel, alpha included.
std::vector<std::uint8_t> Pattern(GLint width, GLint height)
{
	std::vector<std::uint8_t> pixels;
	for (GLint y = 0; y < height; ++y)
	{
		for (GLint x = 0; x < width; ++x)
		{
			pixels.push_back(static_cast<std::uint8_t>(x * 4 + 1));
			pixels.push_back(static_cast<std::uint8_t>(y * 4 + 2));
			pixels.push_back(static_cast<std::uint8_t>((x * 7 + y * 13) & 0xFF));
			pixels.push_back(static_cast<std::uint8_t>(255 - x - y));
		}
	}
	return pixels;
}

TEST_F(GuardFrameGLTest, OutputEqualsInputPixelForPixel)
{
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	const std::vector<std::uint8_t> picture = Pattern(kOutputWidth, kOutputHeight);
	const GLuint texture = MakeRGBA8Texture(kOutputWidth, kOutputHeight, picture);

	// A second frame shows nothing of the first one stays behind.
	for (int frame = 0; frame < 2; ++frame)
	{
		EXPECT_EQ(Frame(instance, texture), FF_SUCCESS);
		EXPECT_EQ(ReadPixels(0, 0, kOutputWidth, kOutputHeight), picture) << "frame " << frame;
	}
	glDeleteTextures(1, &texture);
}

TEST_F(GuardFrameGLTest, OnlyThePicturesPartOfALargerTextureIsDrawn)
{
	const RGBA8 outside = { 255, 0, 255, 255 };
	struct Case
	{
		GLint width, height, hardwareWidth, hardwareHeight;
	};
	const Case cases[] = {
		{ 64, 64, 128, 96 }, // the picture at the output's size: drawn exactly
		{ 48, 40, 64, 64 },  // stretched over the output: nothing from outside
		{ 64, 64, 64, 64 },
		// A texture size of 0 is malformed: the whole texture is taken instead
		// of sampling at infinite coordinates.
		{ 64, 64, 0, 0 },
	};
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	for (const Case& c : cases)
	{
		SCOPED_TRACE(
			::testing::Message() << c.width << "x" << c.height << " in " << c.hardwareWidth << "x" << c.hardwareHeight);
		const GLint texelsWide = std::max(c.hardwareWidth, c.width);
		const std::vector<std::uint8_t> picture = Pattern(c.width, c.height);
		std::vector<std::uint8_t> texels = Uniform(texelsWide, std::max(c.hardwareHeight, c.height), outside);
		for (GLint y = 0; y < c.height; ++y)
			std::copy_n(picture.begin() + y * c.width * 4, c.width * 4, texels.begin() + y * texelsWide * 4);
		const GLuint texture = MakeRGBA8Texture(texelsWide, std::max(c.hardwareHeight, c.height), texels);

		ASSERT_EQ(Frame(instance,
					  { static_cast<std::uint32_t>(c.width), static_cast<std::uint32_t>(c.height),
						  static_cast<std::uint32_t>(c.hardwareWidth), static_cast<std::uint32_t>(c.hardwareHeight),
						  texture }),
			FF_SUCCESS);
		const std::vector<std::uint8_t> output = ReadPixels(0, 0, kOutputWidth, kOutputHeight);
		if (c.width == kOutputWidth && c.height == kOutputHeight)
		{
			EXPECT_EQ(output, picture);
		}
		for (std::size_t i = 0; i < output.size(); i += 4)
			ASSERT_FALSE(output[i] == outside[0] && output[i + 1] == outside[1] && output[i + 2] == outside[2])
				<< "pixel " << i / 4 << " comes from outside the picture";
		glDeleteTextures(1, &texture);
	}
}

TEST_F(GuardFrameGLTest, LeavesNoProgramUnitZeroActiveAndNoTextureBound)
{
	ffglex::FFGLShader hostProgram;
	ASSERT_TRUE(hostProgram.Compile("#version 410 core\nvoid main(){ gl_Position=vec4(0.0); }",
		"#version 410 core\nout vec4 c;\nvoid main(){ c=vec4(1.0); }"));
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	const GLuint input = MakeRGBA8Texture(4, 4, Uniform(4, 4, { 9, 9, 9, 255 }));
	const GLuint hostTexture = MakeRGBA8Texture(4, 4, Uniform(4, 4, { 1, 2, 3, 4 }));

	struct Case
	{
		const char* what;
		GLuint program;
		GLint activeUnit;
		GLuint onUnit0;
	};
	const Case cases[] = {
		{ "nothing bound", 0, 0, 0 },
		{ "a program in use", hostProgram.GetGLID(), 0, 0 },
		{ "the host's texture on unit 0", 0, 0, hostTexture },
		{ "unit 3 active", hostProgram.GetGLID(), 3, hostTexture },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		glActiveTexture(GL_TEXTURE0);
		glBindTexture(GL_TEXTURE_2D, c.onUnit0);
		glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + c.activeUnit));
		glUseProgram(c.program);
		GLBindings expected = CurrentBindings();
		expected.program = 0;
		expected.activeTexture = GL_TEXTURE0;

		ASSERT_EQ(Frame(instance, input, 4, 4), FF_SUCCESS);
		GLBindings after = CurrentBindings();
		EXPECT_EQ(after.texture2D, 0);
		// The texture binding of unit 0 is checked above; the rest is the host's.
		after.texture2D = expected.texture2D;
		EXPECT_EQ(after, expected);
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
	}
	glBindTexture(GL_TEXTURE_2D, 0);
	glDeleteTextures(1, &input);
	glDeleteTextures(1, &hostTexture);
	hostProgram.FreeGLResources();
}

TEST_F(GuardFrameGLTest, AFrameWithoutAnInputFailsAndDrawsNothing)
{
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	const GLuint texture = MakeRGBA8Texture(4, 4, Uniform(4, 4, { 200, 200, 200, 255 }));
	FFGLTextureStructTag input{ 4, 4, 4, 4, texture };
	FFGLTextureStructTag* present[1] = { &input };
	FFGLTextureStructTag* missing[1] = { nullptr };

	glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
	glClear(GL_COLOR_BUFFER_BIT);
	const std::vector<std::uint8_t> before = ReadPixels(0, 0, kOutputWidth, kOutputHeight);
	const GLBindings bindingsBefore = CurrentBindings();

	struct Case
	{
		const char* what;
		ProcessOpenGLStructTag record;
	};
	const Case cases[] = {
		{ "no input counted", { 0, present, 0 } },
		{ "no input list", { 0, nullptr, 0 } },
		{ "one input, no list", { 1, nullptr, 0 } },
		{ "one input, null entry", { 1, missing, 0 } },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		ProcessOpenGLStructTag record = c.record;
		EXPECT_EQ(tests::Call64(module, FF_PROCESS_OPENGL, tests::Pointer(&record), instance), tests::kFail64);
		EXPECT_EQ(ReadPixels(0, 0, kOutputWidth, kOutputHeight), before);
		EXPECT_EQ(CurrentBindings(), bindingsBefore);
	}
	EXPECT_EQ(tests::Call64(module, FF_PROCESS_OPENGL, tests::Pointer(nullptr), instance), tests::kFail64);

	// The instance still draws once it gets an input.
	EXPECT_EQ(Frame(instance, texture, 4, 4), FF_SUCCESS);
	EXPECT_EQ(ReadPixel(10, 10), (RGBA8{ 200, 200, 200, 255 }));
	glDeleteTextures(1, &texture);
}
} // namespace
