// The watching modules as a host sees them: the built modules loaded with
// dlopen and driven through plugMain on the headless GL context. The picture
// passes through unchanged and the context is left as promised by both; the
// black guard judges the drawn picture over the grid of the viewport given at
// instantiation.
//
// A judged frame is followed by an all-black frame for layer 2 on an instance
// with a hold of 0 s: exactly one message arrives either way, for layer 1 when
// the picture under test was taken for black, for layer 2 when it was not.
#include "ffglex/FFGLShader.h"
#include "guard/GLPixelReader.h"
#include "support/UdpReceiver.h"
#include "tests/guard/GuardModuleFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr int kPort = 7391;
constexpr RGBA8 kBlack = { 0, 0, 0, 255 };
constexpr RGBA8 kWhite = { 255, 255, 255, 255 };

using Points = std::vector<std::pair<GLint, GLint>>;

// The grid over a 64 x 64 viewport at (0, 0): trunc(f x 63) for f = 0.1, 0.3,
// 0.5, 0.7, 0.9.
constexpr GLint kGrid64[5] = { 6, 18, 31, 44, 56 };

Points GridPoints(const GLint (&columns)[5], const GLint (&rows)[5])
{
	Points points;
	for (GLint y : rows)
		for (GLint x : columns)
			points.emplace_back(x, y);
	return points;
}

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

class GuardModuleGLTest : public GuardModuleFixture
{
protected:
	void SetUp() override
	{
		GuardModuleFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		ASSERT_TRUE(receiver.IsOpen()) << receiver.Error();
		blackTexture = MakeRGBA8Texture(kOutputWidth, kOutputHeight, Uniform(kOutputWidth, kOutputHeight, kBlack));
	}
	void TearDown() override
	{
		if (blackTexture != 0)
			glDeleteTextures(1, &blackTexture);
		GuardModuleFixture::TearDown();
	}

	// A new armed instance over viewport with a hold of 0 s, set to layer 1.
	void* ArmedInstance(const FFGLViewportStructTag& viewport, float thresholdSlider)
	{
		void* instance = Instantiate(viewport);
		if (instance == nullptr)
			return nullptr;
		Set(instance, kHold, 0.0f);
		Set(instance, kRecovery, 1.0f);
		Set(instance, kOscPort, PortSlider(kPort));
		Set(instance, kLayer, 0.0f);
		if (thresholdSlider >= 0.0f)
			Set(instance, kThreshold, thresholdSlider);
		return instance;
	}

	// After the frame under test: an all-black frame into the host output for
	// layer 2, then which layer's message arrived. Empty when none did.
	std::string JudgedLayer(void* instance)
	{
		HeadlessGL::BindHostFramebuffer(HostOutput());
		Set(instance, kLayer, 1.0f / 98.0f);
		EXPECT_EQ(Frame(instance, blackTexture), FF_SUCCESS);
		const auto datagram = receiver.Receive(2000);
		if (!datagram)
			return "";
		EXPECT_TRUE(receiver.Drain().empty()) << "more than one message";
		const std::string bytes(datagram->begin(), datagram->end());
		const std::string head = "/composition/layers/";
		if (bytes.compare(0, head.size(), head) != 0)
			return "<not a next-clip message>";
		return bytes.substr(head.size(), bytes.find('/', head.size()) - head.size());
	}

	// Draws picture (kOutputWidth x kOutputHeight) over the whole output and
	// says whether the guard took it for black.
	bool IsJudgedBlack(void* instance, const std::vector<std::uint8_t>& picture)
	{
		const GLuint texture = MakeRGBA8Texture(kOutputWidth, kOutputHeight, picture);
		EXPECT_EQ(Frame(instance, texture), FF_SUCCESS);
		glDeleteTextures(1, &texture);
		const std::string layer = JudgedLayer(instance);
		EXPECT_TRUE(layer == "1" || layer == "2") << "message for layer '" << layer << "'";
		return layer == "1";
	}

	static std::vector<std::uint8_t> Marked(RGBA8 background, RGBA8 mark, const Points& points)
	{
		std::vector<std::uint8_t> pixels = Uniform(kOutputWidth, kOutputHeight, background);
		for (const auto& point : points)
			Put(pixels, kOutputWidth, point.first, point.second, mark);
		return pixels;
	}

	UdpReceiver receiver{ kPort };
	GLuint blackTexture = 0;
};

struct WatchModule
{
	const char* name;
	const char* path;
	const char* defaults[5]; // display texts of a new instance
	const char* atOne;       // display of parameter 0 at slider 1
};

class WatchModuleGLTest : public GuardModuleGLTest, public ::testing::WithParamInterface<WatchModule>
{
protected:
	const char* ModulePath() const override { return GetParam().path; }
};

TEST_P(WatchModuleGLTest, ParametersThroughTheHost)
{
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	for (std::uint32_t i = 0; i < 5; ++i)
		EXPECT_EQ(Display(instance, i), GetParam().defaults[i]) << i;
	EXPECT_EQ(Set(instance, 0, 1.0f), FF_SUCCESS);
	EXPECT_EQ(Display(instance, 0), GetParam().atOne);
	EXPECT_EQ(Set(instance, 5, 0.5f), FF_FAIL);
	EXPECT_EQ(Display(instance, 5), "");
}

TEST_P(WatchModuleGLTest, OnlyThePicturesPartOfALargerTextureIsDrawn)
{
	const RGBA8 outside = { 255, 0, 255, 255 };
	struct Case
	{
		GLint width, height, hardwareWidth, hardwareHeight;
	};
	const Case cases[] = {
		{ 64, 64, 128, 96 }, // the picture at the output's size: drawn exactly
		{ 48, 40, 64, 64 },  // stretched over the output: nothing from outside
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

TEST_P(WatchModuleGLTest, LeavesNoProgramUnitZeroActiveAndNoTextureBound)
{
	ffglex::FFGLShader hostProgram;
	ASSERT_TRUE(hostProgram.Compile("#version 410 core\nvoid main(){ gl_Position=vec4(0.0); }",
		"#version 410 core\nout vec4 c;\nvoid main(){ c=vec4(1.0); }"));
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	const GLuint input = MakeRGBA8Texture(4, 4, Uniform(4, 4, { 9, 9, 9, 255 }));
	const GLuint hostTexture = MakeRGBA8Texture(4, 4, Uniform(4, 4, { 1, 2, 3, 4 }));

	// The host's own program in use, its texture on unit 0 and unit 3 active.
	glActiveTexture(GL_TEXTURE0);
	glBindTexture(GL_TEXTURE_2D, hostTexture);
	glActiveTexture(GL_TEXTURE3);
	glUseProgram(hostProgram.GetGLID());
	GLBindings expected = CurrentBindings();
	expected.program = 0;
	expected.activeTexture = GL_TEXTURE0;
	expected.texture2D = 0;

	ASSERT_EQ(Frame(instance, input, 4, 4), FF_SUCCESS);
	EXPECT_EQ(CurrentBindings(), expected);
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
	glBindTexture(GL_TEXTURE_2D, 0);
	glDeleteTextures(1, &input);
	glDeleteTextures(1, &hostTexture);
	hostProgram.FreeGLResources();
}

// Such a frame is neither drawn nor judged: over a black output, a hold of 0 s
// would otherwise send at once.
TEST_P(WatchModuleGLTest, AFrameWithoutAnInputFailsAndIsNotJudged)
{
	void* instance = ArmedInstance({ 0, 0, kOutputWidth, kOutputHeight }, -1.0f);
	ASSERT_NE(instance, nullptr);
	const GLuint texture = MakeRGBA8Texture(4, 4, Uniform(4, 4, { 200, 200, 200, 255 }));
	FFGLTextureStructTag input{ 4, 4, 4, 4, texture };
	FFGLTextureStructTag* present[1] = { &input };
	FFGLTextureStructTag* missing[1] = { nullptr };

	glClearColor(0.0f, 0.0f, 0.0f, 0.4f);
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
	EXPECT_FALSE(receiver.Receive(50).has_value()) << "a frame without input was judged";

	// The instance still draws once it gets an input.
	EXPECT_EQ(Frame(instance, texture, 4, 4), FF_SUCCESS);
	EXPECT_EQ(ReadPixel(10, 10), (RGBA8{ 200, 200, 200, 255 }));
	glDeleteTextures(1, &texture);
}

// Both watching modules: the black guard and the still guard draw and behave
// alike towards the host.
INSTANTIATE_TEST_SUITE_P(Modules, WatchModuleGLTest,
	::testing::Values(
		WatchModule{ "Guard", TENEBRIXOR_MODULE_PATH, { "3.5%", "1.00 s", "0.50 s", "1", "7000" }, "25.0%" },
		WatchModule{ "Still", TENEBRIXOR_STILL_MODULE_PATH, { "0.20%", "2.00 s", "0.50 s", "1", "7000" }, "5.00%" }),
	[](const ::testing::TestParamInfo<WatchModule>& info) { return std::string(info.param.name); });

TEST_F(GuardModuleGLTest, JudgesTheDrawnPictureOverItsOwnViewport)
{
	constexpr float kDefault = -1.0f;
	const GLint offsetColumns[5] = { 19, 25, 31, 37, 43 }; // 16 + trunc(f x 31)
	const GLint offsetRows[5] = { 11, 17, 23, 29, 35 };    // 8 + trunc(f x 31)
	const FFGLViewportStructTag whole{ 0, 0, 64, 64 };
	struct Case
	{
		const char* what;
		FFGLViewportStructTag viewport; // given at instantiation
		float thresholdSlider;
		RGBA8 background;
		Points marked; // in the other colour
		bool black;
	};
	const Case cases[] = {
		{ "black at threshold 0", whole, 0.0f, kBlack, {}, true },
		{ "grey 9 at the default", whole, kDefault, { 9, 9, 9, 255 }, {}, false },
		{ "grey 63 at the highest", whole, 1.0f, { 63, 63, 63, 255 }, {}, true },
		{ "one white grid point", whole, kDefault, kBlack, { { 44, 18 } }, false },
		{ "white everywhere but the grid", whole, kDefault, kWhite, GridPoints(kGrid64, kGrid64), true },
		{ "viewport at (16, 8): its grid point", { 16, 8, 32, 32 }, kDefault, kBlack, { { 31, 23 } }, false },
		{ "viewport at (16, 8): white but its grid", { 16, 8, 32, 32 }, kDefault, kWhite,
			GridPoints(offsetColumns, offsetRows), true },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		void* instance = ArmedInstance(c.viewport, c.thresholdSlider);
		ASSERT_NE(instance, nullptr);
		// A resize after instantiation does not move the grid.
		FFGLViewportStructTag resized{ 0, 0, 32, 32 };
		ASSERT_EQ(module.Resize(instance, resized), FF_SUCCESS);
		const RGBA8 mark = c.background == kBlack ? kWhite : kBlack;
		EXPECT_EQ(IsJudgedBlack(instance, Marked(c.background, mark, c.marked)), c.black);
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
	ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
	GLint samples = 0;
	glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
	ASSERT_EQ(samples, 1) << "the framebuffer is not multisampled";

	void* instance = ArmedInstance({ 0, 0, kOutputWidth, kOutputHeight }, 1.0f);
	ASSERT_NE(instance, nullptr);
	EXPECT_EQ(Frame(instance, blackTexture), FF_SUCCESS);
	TakeGLError();
	EXPECT_EQ(JudgedLayer(instance), "2") << "the unreadable black frame was taken for black";

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
// pixels or rows. Detection still reads the picture, into its own memory, and
// the host finds its state as it left it.
TEST_F(GuardModuleGLTest, TheHostsPixelPackStateIsNeitherUsedNorChanged)
{
	GLuint packBuffer = 0;
	glGenBuffers(1, &packBuffer);
	glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
	const std::vector<std::uint8_t> marker(256, 0xA5);
	glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(marker.size()), marker.data(), GL_STATIC_READ);
	glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);

	// Skipping 4096 pixels and rows would write far past the destination.
	const struct
	{
		GLuint buffer;
		GLint skipPixels;
		GLint skipRows;
	} c = { packBuffer, 4096, 4096 };
	{
		void* instance = ArmedInstance({ 0, 0, kOutputWidth, kOutputHeight }, -1.0f);
		ASSERT_NE(instance, nullptr);
		glBindBuffer(GL_PIXEL_PACK_BUFFER, c.buffer);
		glPixelStorei(GL_PACK_SKIP_PIXELS, c.skipPixels);
		glPixelStorei(GL_PACK_SKIP_ROWS, c.skipRows);
		glPixelStorei(GL_PACK_ROW_LENGTH, 1000);

		EXPECT_EQ(Frame(instance, blackTexture), FF_SUCCESS);

		GLint buffer = -1, skipPixels = -1, skipRows = -1;
		glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &buffer);
		glGetIntegerv(GL_PACK_SKIP_PIXELS, &skipPixels);
		glGetIntegerv(GL_PACK_SKIP_ROWS, &skipRows);
		EXPECT_EQ(buffer, static_cast<GLint>(c.buffer));
		EXPECT_EQ(skipPixels, c.skipPixels);
		EXPECT_EQ(skipRows, c.skipRows);
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));

		glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
		glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
		glPixelStorei(GL_PACK_SKIP_ROWS, 0);
		glPixelStorei(GL_PACK_ROW_LENGTH, 0);
		EXPECT_EQ(JudgedLayer(instance), "1") << "the black frame was not seen";
	}

	std::vector<std::uint8_t> contents(marker.size());
	glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
	glGetBufferSubData(GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(contents.size()), contents.data());
	glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
	EXPECT_EQ(contents, marker) << "the host's pack buffer was written";
	glDeleteBuffers(1, &packBuffer);
}
} // namespace
