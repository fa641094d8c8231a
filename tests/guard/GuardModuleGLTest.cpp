// The watching modules as a host sees them: the picture passes through
// unchanged and the context is left as promised by both; the black guard judges
// the drawn picture over the grid of the viewport given at instantiation. A
// judged frame is followed by a black frame for layer 2: with a hold of 0 s,
// the one message that arrives is for layer 1 when the frame was taken for black.
#include "ffglex/FFGLShader.h"
#include "host/FFGLMixed.h"
#include "tests/guard/GuardModuleFixture.h"
#include "watching/GLPixelReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr RGBA8 kWhite = { 255, 255, 255, 255 };
constexpr FFGLViewportStructTag kWhole = { 0, 0, 64, 64 };

// Every pixel different in every channel, alpha included.
std::vector<std::uint8_t> Pattern(GLint width, GLint height)
{
	std::vector<std::uint8_t> pixels;
	for (GLint y = 0; y < height; ++y)
		for (GLint x = 0; x < width; ++x)
			pixels.insert(pixels.end(),
				{ static_cast<std::uint8_t>(x * 4 + 1), static_cast<std::uint8_t>(y * 4 + 2),
					static_cast<std::uint8_t>((x * 7 + y * 13) & 0xFF), static_cast<std::uint8_t>(255 - x - y) });
	return pixels;
}

class GuardModuleGLTest : public GuardModuleFixture
{
protected:
	// A new armed instance with a hold of 0 s, for layer 1; a negative
	// threshold slider keeps the default.
	void* ArmedInstance(const FFGLViewportStructTag& viewport = kWhole, float thresholdSlider = -1.0f)
	{
		void* instance = Sending(Instantiate(viewport), 0.0f, 1.0f);
		if (instance != nullptr && thresholdSlider >= 0.0f)
			Set(instance, kThreshold, thresholdSlider);
		return instance;
	}

	// After the frame under test: an all-black frame into the host output for
	// layer 2, then whether the one message that arrived was for layer 1.
	bool JudgedBlack(void* instance)
	{
		HeadlessGL::BindHostFramebuffer(HostOutput());
		Set(instance, kLayer, 1.0f / 98.0f);
		EXPECT_EQ(Show(instance, true), FF_SUCCESS);
		const auto datagram = receiver->Receive(2000);
		EXPECT_TRUE(receiver->Drain().empty()) << "more than one message";
		const std::string bytes = datagram ? std::string(datagram->begin(), datagram->end()) : "no message";
		const bool black = bytes.rfind("/composition/layers/1/", 0) == 0;
		EXPECT_TRUE(black || bytes.rfind("/composition/layers/2/", 0) == 0) << bytes;
		return black;
	}
};

struct WatchModule
{
	const char* name;
	const char* path;
	std::vector<std::string> defaults; // display texts of a new instance
	const char* atOne;                 // display of parameter 0 at slider 1
};

class WatchModuleGLTest : public GuardModuleGLTest, public ::testing::WithParamInterface<WatchModule>
{
protected:
	const char* ModulePath() const override { return GetParam().path; }
	std::string Display(void* instance, std::uint32_t index)
	{
		const char* text = module.GetParameterDisplay(instance, index);
		return text != nullptr ? text : "<null>";
	}
};

TEST_P(WatchModuleGLTest, ParametersThroughTheHost)
{
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	const auto count = static_cast<std::uint32_t>(GetParam().defaults.size());
	ASSERT_EQ(module.GetNumParameters(), count);
	for (std::uint32_t i = 0; i < count; ++i)
		EXPECT_EQ(Display(instance, i), GetParam().defaults[i]) << i;
	EXPECT_EQ(Set(instance, 0, 1.0f), FF_SUCCESS);
	EXPECT_EQ(Display(instance, 0), GetParam().atOne);
	EXPECT_EQ(Set(instance, count, 0.5f), FF_FAIL);
	EXPECT_EQ(Display(instance, count), "");
}

// A texture size of 0 is malformed: the whole texture is taken instead of
// sampling at infinite coordinates.
TEST_P(WatchModuleGLTest, OnlyThePicturesPartOfALargerTextureIsDrawn)
{
	struct Case
	{
		GLint width, height, hardwareWidth, hardwareHeight;
	};
	const Case cases[] = { { 64, 64, 128, 96 }, { 48, 40, 64, 64 }, { 64, 64, 0, 0 } };
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	for (const Case& c : cases)
	{
		SCOPED_TRACE(&c - cases);
		const GLint wide = std::max(c.hardwareWidth, c.width);
		const GLint high = std::max(c.hardwareHeight, c.height);
		GLuint texture = MakeRGBA8Texture(wide, high, Pattern(wide, high));
		const auto size = [](GLint n) { return static_cast<std::uint32_t>(n); };
		ASSERT_EQ(
			Frame(instance, { size(c.width), size(c.height), size(c.hardwareWidth), size(c.hardwareHeight), texture }),
			FF_SUCCESS);
		glDeleteTextures(1, &texture);
		const std::vector<std::uint8_t> output = ReadPixels(0, 0, kOutputWidth, kOutputHeight);
		if (c.width == kOutputWidth && c.height == kOutputHeight)
		{
			EXPECT_EQ(output, Pattern(c.width, c.height));
		}
		for (std::size_t i = 0; i < output.size(); i += 4) // red 4 x + 1, green 4 y + 2
			ASSERT_TRUE(output[i] / 4 < c.width && output[i + 1] / 4 < c.height)
				<< "pixel " << i / 4 << " comes from outside the picture";
	}
}

// The host's own program in use, a texture of its own on unit 0 and unit 3
// active.
TEST_P(WatchModuleGLTest, LeavesNoProgramUnitZeroActiveAndNoTextureBound)
{
	ffglex::FFGLShader hostProgram;
	ASSERT_TRUE(hostProgram.Compile("#version 410 core\nvoid main(){ gl_Position=vec4(0.0); }",
		"#version 410 core\nout vec4 c;\nvoid main(){ c=vec4(1.0); }"));
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	glActiveTexture(GL_TEXTURE0);
	glBindTexture(GL_TEXTURE_2D, textures[1]);
	glActiveTexture(GL_TEXTURE3);
	glUseProgram(hostProgram.GetGLID());
	GLBindings expected = CurrentBindings();
	expected["program"] = 0;
	expected["active texture"] = GL_TEXTURE0;
	expected["texture2D"] = 0;

	ASSERT_EQ(Show(instance, false), FF_SUCCESS);
	EXPECT_EQ(CurrentBindings(), expected);
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
	hostProgram.FreeGLResources();
}

// Such a frame is not judged: over a black output, a hold of 0 s would
// otherwise send at once.
TEST_P(WatchModuleGLTest, AFrameWithoutAnInputFailsAndIsNotJudged)
{
	void* instance = ArmedInstance();
	ASSERT_NE(instance, nullptr);
	FFGLTextureStructTag input{ 64, 64, 64, 64, textures[0] };
	FFGLTextureStructTag* present[1] = { &input };
	FFGLTextureStructTag* missing[1] = { nullptr };
	glClearColor(0.0f, 0.0f, 0.0f, 0.4f);
	glClear(GL_COLOR_BUFFER_BIT);

	ProcessOpenGLStructTag records[] = {
		{ 0, present, 0 }, // no input counted
		{ 1, nullptr, 0 }, // one input, no list
		{ 1, missing, 0 }, // one input, null entry
	};
	for (ProcessOpenGLStructTag& record : records)
	{
		SCOPED_TRACE(::testing::Message() << "record " << &record - records);
		EXPECT_EQ(
			FFGLMixed::AllBits(module.Call(FF_PROCESS_OPENGL, FFGLMixed::FromPointer(&record), instance)), FF_FAIL);
	}
	EXPECT_EQ(FFGLMixed::AllBits(module.Call(FF_PROCESS_OPENGL, FFGLMixed::FromPointer(nullptr), instance)), FF_FAIL);
	EXPECT_FALSE(receiver->Receive(50).has_value()) << "a frame without input was judged";
}

// Every watching module: the black guard and the Watch draw and behave alike
// towards the host.
INSTANTIATE_TEST_SUITE_P(Modules, WatchModuleGLTest,
	::testing::Values(
		WatchModule{ "Guard", TENEBRIXOR_MODULE_PATH, { "3.5%", "1.00 s", "0.50 s", "1", "7000" }, "25.0%" },
		WatchModule{ "Watch", TENEBRIXOR_WATCH_MODULE_PATH,
			{ "3.5%", "1.00 s", "0.20%", "2.00 s", "0.50 s", "1", "7000" }, "25.0%" }),
	[](const ::testing::TestParamInfo<WatchModule>& info) { return std::string(info.param.name); });

// One white pixel, or none, on black; the grid is trunc(f x (size - 1)) for
// f = 0.1, 0.3, 0.5, 0.7, 0.9 from the viewport's corner.
TEST_F(GuardModuleGLTest, JudgesTheDrawnPictureOverItsOwnViewport)
{
	constexpr float kDefault = -1.0f;
	const std::pair<GLint, GLint> none = { -1, -1 };
	struct Case
	{
		const char* what;
		FFGLViewportStructTag viewport; // given at instantiation
		float thresholdSlider;
		RGBA8 background;
		std::pair<GLint, GLint> white;
		bool black;
	};
	const Case cases[] = {
		{ "black at threshold 0", kWhole, 0.0f, kBlack, none, true },
		{ "grey 63 at the highest", kWhole, 1.0f, { 63, 63, 63, 255 }, none, true },
		{ "one white grid point", kWhole, kDefault, kBlack, { 44, 18 }, false },
		{ "viewport at (16, 8): its grid point", { 16, 8, 32, 32 }, kDefault, kBlack, { 31, 23 }, false },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		void* instance = ArmedInstance(c.viewport, c.thresholdSlider);
		ASSERT_NE(instance, nullptr);
		// A resize after instantiation does not move the grid.
		ASSERT_EQ(module.Resize(instance, { 0, 0, 32, 32 }), FF_SUCCESS);
		std::vector<std::uint8_t> picture = Uniform(kOutputWidth, kOutputHeight, c.background);
		if (c.white != none)
			std::copy(
				kWhite.begin(), kWhite.end(), picture.begin() + (c.white.second * kOutputWidth + c.white.first) * 4);
		const GLuint texture = MakeRGBA8Texture(kOutputWidth, kOutputHeight, picture);
		EXPECT_EQ(Frame(instance, { 64, 64, 64, 64, texture }), FF_SUCCESS);
		glDeleteTextures(1, &texture);
		EXPECT_EQ(JudgedBlack(instance), c.black);
	}
}

// A multisampled framebuffer cannot be read pixel by pixel: GL refuses the
// reads, and a picture that cannot be seen must never count as black.
TEST_F(GuardModuleGLTest, AMultisampledFramebufferIsNeverBlack)
{
	GLuint renderbuffer = 0;
	GLuint framebuffer = 0;
	glGenRenderbuffers(1, &renderbuffer);
	glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
	glRenderbufferStorageMultisample(GL_RENDERBUFFER, 4, GL_RGBA8, kOutputWidth, kOutputHeight);
	glBindRenderbuffer(GL_RENDERBUFFER, 0);
	glGenFramebuffers(1, &framebuffer);
	glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
	glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer);
	GLint samples = 0;
	glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
	ASSERT_EQ(samples, 1) << "the framebuffer is not multisampled";

	void* instance = ArmedInstance(kWhole, 1.0f);
	ASSERT_NE(instance, nullptr);
	EXPECT_EQ(Show(instance, true), FF_SUCCESS);
	TakeGLError();
	EXPECT_FALSE(JudgedBlack(instance)) << "the unreadable black frame was taken for black";

	// The reader says so, and tells a white pixel it can read from one it cannot.
	Rgba8 pixel{};
	glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
	EXPECT_FALSE(GLPixelReader().Read(1, 1, pixel));
	TakeGLError();
	HeadlessGL::BindHostFramebuffer(HostOutput());
	glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
	glClear(GL_COLOR_BUFFER_BIT);
	EXPECT_TRUE(GLPixelReader().Read(1, 1, pixel));
	EXPECT_EQ(pixel.r + pixel.g + pixel.b + pixel.a, 4 * 255);
	glDeleteFramebuffers(1, &framebuffer);
	glDeleteRenderbuffers(1, &renderbuffer);
}

// Hosts may leave pixel-pack state of their own set: a pack buffer, skipped
// pixels and rows (4096 of each would write far past the destination).
// Detection still reads the picture, into its own memory, and the host finds
// its state as it left it.
TEST_F(GuardModuleGLTest, TheHostsPixelPackStateIsNeitherUsedNorChanged)
{
	void* instance = ArmedInstance();
	ASSERT_NE(instance, nullptr);
	const std::vector<std::uint8_t> marker(256, 0xA5);
	GLuint packBuffer = 0;
	glGenBuffers(1, &packBuffer);
	glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
	glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(marker.size()), marker.data(), GL_STATIC_READ);
	glPixelStorei(GL_PACK_SKIP_PIXELS, 4096);
	glPixelStorei(GL_PACK_SKIP_ROWS, 4096);
	glPixelStorei(GL_PACK_ROW_LENGTH, 1000);

	EXPECT_EQ(Show(instance, true), FF_SUCCESS);
	GLint state[3] = { -1, -1, -1 };
	glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &state[0]);
	glGetIntegerv(GL_PACK_SKIP_PIXELS, &state[1]);
	glGetIntegerv(GL_PACK_SKIP_ROWS, &state[2]);
	EXPECT_EQ(std::vector<GLint>(state, state + 3), (std::vector<GLint>{ static_cast<GLint>(packBuffer), 4096, 4096 }));
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
	std::vector<std::uint8_t> contents(marker.size());
	glGetBufferSubData(GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(contents.size()), contents.data());
	EXPECT_EQ(contents, marker) << "the host's pack buffer was written";

	glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
	glDeleteBuffers(1, &packBuffer);
	glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
	glPixelStorei(GL_PACK_SKIP_ROWS, 0);
	glPixelStorei(GL_PACK_ROW_LENGTH, 0);
	EXPECT_TRUE(JudgedBlack(instance)) << "the black frame was not seen";
}
} // namespace
