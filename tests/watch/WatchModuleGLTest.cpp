// The Watch through plugMain of the built module, its messages received on a
// free port. With both holds at 0 s the black rule sends on the first black
// frame, the still rule after the repeat grace of real time.
#include "tests/guard/GuardModuleFixture.h"
#include "tests/support/Clips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace
{
class WatchModuleGLTest : public GuardModuleFixture
{
protected:
	const char* ModulePath() const override { return TENEBRIXOR_WATCH_MODULE_PATH; }

	// Shows the pictures in turn, each of width x height, for up to seconds:
	// the first message's address, or "none".
	std::string ShowFor(void* instance, const std::vector<GLuint>& pictures, double seconds,
		std::uint32_t width = kOutputWidth, std::uint32_t height = kOutputHeight)
	{
		const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
		std::size_t n = 0;
		do
		{
			EXPECT_EQ(Frame(instance, { width, height, width, height, pictures[n++ % pictures.size()] }), FF_SUCCESS);
			if (const auto datagram = receiver->Receive(0))
				return std::string(datagram->begin(), std::find(datagram->begin(), datagram->end(), 0));
		} while (std::chrono::steady_clock::now() < end);
		return "none";
	}
};

// Black, then a blue no-signal screen; and the screen, then black: one message
// for layer 2, from whichever rule sees the drop-out first.
TEST_F(WatchModuleGLTest, OneMessagePerDropOutWhicheverRuleSeesIt)
{
	const GLuint blue =
		MakeRGBA8Texture(kOutputWidth, kOutputHeight, Uniform(kOutputWidth, kOutputHeight, { 0, 0, 192, 255 }));
	const GLuint pictures[][2] = { { textures[1], blue }, { blue, textures[1] } };
	for (const auto& picture : pictures)
	{
		void* instance = Sending(Instantiate(), 0.0f, 1.0f); // re-arms after 5 s
		ASSERT_NE(instance, nullptr);
		Set(instance, Index("Layer"), 1.0f / 98.0f);
		EXPECT_EQ(ShowFor(instance, { picture[0] }, 2.0), "/composition/layers/2/connectnextclip");
		EXPECT_EQ(ShowFor(instance, { picture[1] }, 0.5), "none");
	}
	glDeleteTextures(1, &blue);
}

// Short ffmpeg clips at 640 x 360 through plugMain, their frames shown in turn,
// with both holds at 0: the cells see a lit figure anywhere and a logo in a
// corner, and average a capped lens's noise away.
TEST_F(WatchModuleGLTest, JudgesTheWholePictureThroughPlugMain)
{
	const struct
	{
		const char* what;
		std::string graph;
		const char* message;
	} cases[] = {
		{ "a lit figure crossing a crushed-black stage",
			"color=c=black:s=640x360:r=30:d=0.3[s];color=c=0x808080:s=40x44:r=30[f];[s][f]overlay=x=n*5:y=n*3:shortest=1",
			"none" },
		{ "a capped lens", "color=c=0x040404:s=640x360:r=30:d=0.3,format=gbrp,noise=alls=24:allf=t+u",
			"/composition/layers/1/connectnextclip" },
		{ "a small static logo on black", "color=c=black:s=640x360:r=30:d=0.04,drawbox=x=560:y=20:w=48:h=20:c=white:t=fill",
			"/composition/layers/1/connectnextclip" },
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.what);
		std::string error;
		const tests::Clip clip = tests::MakeClip(c.graph + ",vflip", 640, 360, error);
		ASSERT_FALSE(clip.frames.empty()) << error;
		std::vector<GLuint> pictures;
		for (const auto& frame : clip.frames)
			pictures.push_back(MakeRGBA8Texture(640, 360, frame));
		void* instance = Sending(Instantiate(), 0.0f, 1.0f);
		ASSERT_NE(instance, nullptr);
		EXPECT_EQ(ShowFor(instance, pictures, 1.0, 640, 360), c.message);
		glDeleteTextures(static_cast<GLsizei>(pictures.size()), pictures.data());
	}
}
} // namespace
