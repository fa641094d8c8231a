// The hold and recovery timing, fed the test's own clock readings.
#include "guard/HoldRecoveryTimer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace
{
// Frames every step seconds, 'B' black and '.' picture; per frame, 'S' when
// the timer sent and '-' when not.
TEST(HoldRecoveryTimerTest, SendsOncePerBlackRun)
{
	struct Case
	{
		const char* what;
		double step;
		std::string frames;
		float hold;
		float recovery;
		std::string sent;
	};
	const Case cases[] = {
		{ "hold 0: the first black frame", 0.1, "BBB", 0.0f, 0.5f, "S--" },
		{ "one picture frame restarts the hold", 0.25, "BBB.BBBBB", 1.0f, 0.5f, "--------S" },
		{ "a gap between frames counts", 5.0, "BB", 5.0f, 0.5f, "-S" },
		{ "recovery 0: one picture frame re-arms", 0.1, "B.B", 0.0f, 0.0f, "S-S" },
		{ "0.5 s of picture re-arms", 0.1, "B......BB", 0.0f, 0.5f, "S------S-" },
		{ "0.4 s of picture does not", 0.1, "B.....BB", 0.0f, 0.5f, "S-------" },
		{ "recovery counts from the latest picture run", 0.25, "..B.B", 0.0f, 0.5f, "--S--" },
		{ "then picture, recovery, black again", 0.25, "BBBBB...BBBBB", 1.0f, 0.5f, "----S-------S" },
	};
	for (const Case& c : cases)
	{
		HoldRecoveryTimer timer;
		std::string sent;
		for (std::size_t i = 0; i < c.frames.size(); ++i)
		{
			const auto now = static_cast<std::int64_t>(c.step * static_cast<double>(i) * 1e9);
			sent += timer.Advance(c.frames[i] == 'B', now, c.hold, c.recovery) ? 'S' : '-';
		}
		EXPECT_EQ(sent, c.sent) << c.what;
	}
}

// Readings far apart saturate instead of overflowing (undefined behaviour,
// which the sanitizer pass would report).
TEST(HoldRecoveryTimerTest, ExtremeReadingsSaturate)
{
	constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
	constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
	HoldRecoveryTimer forwards;
	EXPECT_FALSE(forwards.Advance(true, kMin, 10.0f, 0.5f));
	EXPECT_TRUE(forwards.Advance(true, kMax, 10.0f, 0.5f));
	HoldRecoveryTimer backwards;
	EXPECT_FALSE(backwards.Advance(true, kMax, 0.5f, 0.5f));
	EXPECT_FALSE(backwards.Advance(true, kMin, 0.5f, 0.5f));
}
} // namespace
