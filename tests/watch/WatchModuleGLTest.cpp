// The Watch through plugMain of the built module, its messages received on a
// free port. With both holds at 0 s the black rule sends on the first black
// frame, the still rule after the repeat grace of real time.
#include "tests/guard/GuardModuleFixture.h"

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

	// Shows the picture for up to seconds: the first message's address, or "none".
	std::string ShowFor(void* instance, GLuint texture, double seconds)
	{
		const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
		do
		{
			EXPECT_EQ(
				Frame(instance, { kOutputWidth, kOutputHeight, kOutputWidth, kOutputHeight, texture }), FF_SUCCESS);
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
		EXPECT_EQ(ShowFor(instance, picture[0], 2.0), "/composition/layers/2/connectnextclip");
		EXPECT_EQ(ShowFor(instance, picture[1], 0.5), "none");
	}
	glDeleteTextures(1, &blue);
}
} // namespace
