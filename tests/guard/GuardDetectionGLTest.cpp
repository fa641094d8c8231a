// Black-frame detection on real pixels, through plugMain.
//
// Each case uses a new instance with a hold of 0 s, so its first frame judged
// black sends the next-clip message and disarms it. The picture under test is
// drawn for layer 1; then an all-black frame for layer 2. Exactly one message
// arrives either way: layer 1 when the picture was judged black, layer 2 when
// it was not.
#include "tests/guard/GuardModuleFixture.h"
#include "support/UdpReceiver.h"

#include <gtest/gtest.h>

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

class GuardDetectionGLTest : public GuardModuleFixture
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

TEST_F(GuardDetectionGLTest, ThresholdEdges)
{
	constexpr float kDefault = -1.0f;
	struct Case
	{
		const char* what;
		float thresholdSlider;
		RGBA8 colour;
		bool black;
	};
	const Case cases[] = {
		{ "black at threshold 0", 0.0f, kBlack, true },
		{ "grey 1 at threshold 0", 0.0f, { 1, 1, 1, 255 }, false },
		{ "grey 8 at the default", kDefault, { 8, 8, 8, 255 }, true },
		{ "grey 9 at the default", kDefault, { 9, 9, 9, 255 }, false },
		{ "grey 63 at the highest", 1.0f, { 63, 63, 63, 255 }, true },
		{ "grey 64 at the highest", 1.0f, { 64, 64, 64, 255 }, false },
		{ "pure red at the highest", 1.0f, { 255, 0, 0, 255 }, true },
		{ "pure blue at the highest", 1.0f, { 0, 0, 255, 255 }, true },
		{ "pure green at the highest", 1.0f, { 0, 255, 0, 255 }, false },
		{ "transparent white", kDefault, { 255, 255, 255, 0 }, false },
		{ "transparent black", kDefault, { 0, 0, 0, 0 }, true },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		void* instance = ArmedInstance({ 0, 0, kOutputWidth, kOutputHeight }, c.thresholdSlider);
		ASSERT_NE(instance, nullptr);
		EXPECT_EQ(IsJudgedBlack(instance, Uniform(kOutputWidth, kOutputHeight, c.colour)), c.black);
	}
}

TEST_F(GuardDetectionGLTest, GridGeometry)
{
	struct Case
	{
		const char* what;
		FFGLViewportStructTag viewport; // given at instantiation
		RGBA8 background;
		Points marked; // white on black, or black on white
		bool black;
	};
	const GLint offsetColumns[5] = { 19, 25, 31, 37, 43 }; // 16 + trunc(f x 31)
	const GLint offsetRows[5] = { 11, 17, 23, 29, 35 };    // 8 + trunc(f x 31)
	const GLint firstOnly[5] = { 0, 0, 0, 0, 0 };
	std::vector<Case> cases = {
		{ "white everywhere but the grid points", { 0, 0, 64, 64 }, kWhite, GridPoints(kGrid64, kGrid64), true },
		{ "white beside a grid point", { 0, 0, 64, 64 }, kBlack, { { 57, 56 }, { 56, 57 }, { 5, 6 } }, true },
		{ "viewport at (16, 8): its grid point", { 16, 8, 32, 32 }, kBlack, { { 31, 23 } }, false },
		{ "viewport at (16, 8): white but its grid", { 16, 8, 32, 32 }, kWhite, GridPoints(offsetColumns, offsetRows),
			true },
		{ "width 1: column 0", { 0, 0, 1, 64 }, kBlack, { { 0, 31 } }, false },
		{ "width 1: white but column 0", { 0, 0, 1, 64 }, kWhite, GridPoints(firstOnly, kGrid64), true },
		{ "width 0: column 0", { 0, 0, 0, 64 }, kBlack, { { 0, 56 } }, false },
		{ "width 0: white but column 0", { 0, 0, 0, 64 }, kWhite, GridPoints(firstOnly, kGrid64), true },
		{ "height 1: row 0", { 0, 0, 64, 1 }, kBlack, { { 44, 0 } }, false },
		{ "height 1: white but row 0", { 0, 0, 64, 1 }, kWhite, GridPoints(kGrid64, firstOnly), true },
		{ "height 0: row 0", { 0, 0, 64, 0 }, kBlack, { { 6, 0 } }, false },
		{ "height 0: white but row 0", { 0, 0, 64, 0 }, kWhite, GridPoints(kGrid64, firstOnly), true },
		{ "0 x 1: the first pixel", { 0, 0, 0, 1 }, kBlack, { { 0, 0 } }, false },
		{ "0 x 1: white but the first pixel", { 0, 0, 0, 1 }, kWhite, { { 0, 0 } }, true },
	};
	// One white pixel on any of the 25 grid points is enough.
	for (const auto& point : GridPoints(kGrid64, kGrid64))
		cases.push_back({ "one white grid point", { 0, 0, 64, 64 }, kBlack, { point }, false });
	for (const Case& c : cases)
	{
		SCOPED_TRACE(::testing::Message() << c.what << " " << c.marked[0].first << "," << c.marked[0].second);
		void* instance = ArmedInstance(c.viewport, -1.0f);
		ASSERT_NE(instance, nullptr);
		const RGBA8 mark = c.background == kBlack ? kWhite : kBlack;
		EXPECT_EQ(IsJudgedBlack(instance, Marked(c.background, mark, c.marked)), c.black);
	}
}

TEST_F(GuardDetectionGLTest, AResizeDoesNotMoveTheGrid)
{
	// trunc(0.9 x 31) = 27: a grid point of a 32 x 32 viewport only.
	struct Case
	{
		const char* what;
		RGBA8 background;
		Points marked;
		bool black;
	};
	const Case cases[] = {
		{ "white at the grid point of the first viewport", kBlack, { { 56, 56 } }, false },
		{ "white at the grid point of the resized viewport", kBlack, { { 27, 27 } }, true },
		{ "white everywhere but the first grid", kWhite, GridPoints(kGrid64, kGrid64), true },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		void* instance = ArmedInstance({ 0, 0, 64, 64 }, -1.0f);
		ASSERT_NE(instance, nullptr);
		FFGLViewportStructTag resized{ 0, 0, 32, 32 };
		ASSERT_EQ(module.Resize(instance, resized), FF_SUCCESS);
		const RGBA8 mark = c.background == kBlack ? kWhite : kBlack;
		EXPECT_EQ(IsJudgedBlack(instance, Marked(c.background, mark, c.marked)), c.black);
	}
}

// A multisampled framebuffer cannot be read pixel by pixel: GL refuses the
// reads, and a picture that cannot be seen must never count as black.
TEST_F(GuardDetectionGLTest, AMultisampledFramebufferIsNeverBlack)
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

	glDeleteFramebuffers(1, &framebuffer);
	glDeleteRenderbuffers(1, &renderbuffer);
}

// Hosts may leave pixel-pack state of their own set: a pack buffer, skipped
// pixels or rows. Detection still reads the picture, into its own memory, and
// the host finds its state as it left it.
TEST_F(GuardDetectionGLTest, TheHostsPixelPackStateIsNeitherUsedNorChanged)
{
	GLuint packBuffer = 0;
	glGenBuffers(1, &packBuffer);
	glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
	const std::vector<std::uint8_t> marker(256, 0xA5);
	glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(marker.size()), marker.data(), GL_STATIC_READ);
	glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);

	struct Case
	{
		const char* what;
		GLuint buffer;
		GLint skipPixels;
		GLint skipRows;
	};
	const Case cases[] = {
		{ "a pack buffer bound", packBuffer, 0, 0 },
		{ "pixels and rows skipped", 0, 4096, 4096 },
		{ "all of it", packBuffer, 7, 3 },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
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
