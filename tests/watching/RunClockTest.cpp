// The hold and recovery timing of one rule, a run clock behind the arming as
// the black guard has them, fed the test's own clock readings.
#include "watching/RunClock.h"
#include "watching/Arming.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace
{
// Frames every step seconds, 'B' black and '.' picture; per frame, 'S' when
// the message went and '-' when not.
TEST(RunClockTest, SendsOncePerBlackRun)
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
		RunClock black;
		Arming arming;
		std::string sent;
		for (std::size_t i = 0; i < c.frames.size(); ++i)
		{
			const auto now = static_cast<std::int64_t>(c.step * static_cast<double>(i) * 1e9);
			const bool isBlack = c.frames[i] == 'B';
			sent += arming.Advance(isBlack, black.Advance(isBlack, now, c.hold), now, c.recovery) ? 'S' : '-';
		}
		EXPECT_EQ(sent, c.sent) << c.what;
	}
}

// Readings far apart saturate instead of overflowing (undefined behaviour,
// which the sanitizer pass would report).
TEST(RunClockTest, ExtremeReadingsSaturate)
{
	constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
	constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
	EXPECT_EQ(SecondsBetween(kMin, kMax), static_cast<float>(kMax) / 1e9f);
	EXPECT_EQ(SecondsBetween(kMax, kMin), static_cast<float>(kMin) / 1e9f);
}
} // namespace
