#include "ffglex/FFGLUtilities.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

using namespace ffglex;

TEST(UtilitiesTest, PowersOfTwo)
{
	const struct
	{
		std::uint32_t n;
		bool expected;
	} cases[] = { { 0, false }, { 1, true }, { 3, false }, { 1024, true }, { 0x80000000u, true },
		{ 0xFFFFFFFFu, false } };
	for (const auto& c : cases)
		EXPECT_EQ(is_power_of_2(c.n), c.expected) << c.n;
}

TEST(UtilitiesTest, NextPowerOfTwoAtAndAroundPowersAndForNegatives)
{
	const struct
	{
		int n;
		int expected;
	} cases[] = {
		{ 0, 0 },
		{ 1, 1 },
		{ 2, 2 },
		{ 3, 4 },
		{ 5, 8 },
		{ 1023, 1024 },
		{ 1024, 1024 },
		{ 1025, 2048 },
		{ 1 << 30, 1 << 30 },
		// Above 2^30 the only power left is the sign bit's pattern.
		{ (1 << 30) + 1, INT_MIN },
		{ INT_MAX, INT_MIN },
		{ INT_MIN, INT_MIN },
		{ -1, 0 },
		{ -5, 0 },
		{ INT_MIN + 1, 0 },
	};
	for (const auto& c : cases)
		EXPECT_EQ(npot(c.n), c.expected) << c.n;
}

// Every sector, its edges, h = 1 and a negative hue, in both precisions.
TEST(UtilitiesTest, HSVtoRGBBySector)
{
	const struct
	{
		double h, s, v;
		double r, g, b;
	} cases[] = {
		{ 0.3, 0.0, 0.6, 0.6, 0.6, 0.6 },                                       // no saturation: grey, whatever the hue
		{ 0.0, 1.0, 1.0, 1.0, 0.0, 0.0 }, { 0.125, 1.0, 1.0, 1.0, 0.75, 0.0 },  // sector 0
		{ 0.25, 1.0, 1.0, 0.5, 1.0, 0.0 },                                      // sector 1
		{ 0.25, 0.5, 0.8, 0.6, 0.8, 0.4 }, { 0.375, 1.0, 1.0, 0.0, 1.0, 0.25 }, // sector 2
		{ 0.5, 1.0, 1.0, 0.0, 1.0, 1.0 },                                       // edge of sectors 2 and 3
		{ 0.625, 1.0, 1.0, 0.0, 0.25, 1.0 },                                    // sector 3
		{ 0.75, 1.0, 1.0, 0.5, 0.0, 1.0 },                                      // sector 4
		{ 0.875, 1.0, 1.0, 1.0, 0.0, 0.75 },                                    // sector 5
		{ 1.0, 1.0, 1.0, 1.0, 0.0, 1.0 },  // h = 1 is not wrapped: sector 6, taken as 5
		{ -0.1, 1.0, 1.0, 1.0, 0.0, 0.6 }, // negative hue, also the last row
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.h);
		float r = -1.0f, g = -1.0f, b = -1.0f;
		HSVtoRGB(static_cast<float>(c.h), static_cast<float>(c.s), static_cast<float>(c.v), r, g, b);
		EXPECT_NEAR(r, c.r, 1e-6);
		EXPECT_NEAR(g, c.g, 1e-6);
		EXPECT_NEAR(b, c.b, 1e-6);

		double rd = -1.0, gd = -1.0, bd = -1.0;
		HSVtoRGB(c.h, c.s, c.v, &rd, &gd, &bd);
		EXPECT_NEAR(rd, c.r, 1e-12);
		EXPECT_NEAR(gd, c.g, 1e-12);
		EXPECT_NEAR(bd, c.b, 1e-12);
	}
}

TEST(UtilitiesTest, ClampAndMapWithReversedRangesAndNaN)
{
	const float nan = std::numeric_limits<float>::quiet_NaN();
	EXPECT_EQ(clamp01(-1.0f), 0.0f);
	EXPECT_EQ(clamp01(0.25f), 0.25f);
	EXPECT_EQ(clamp01(2.0f), 1.0f);
	EXPECT_TRUE(std::isnan(clamp01(nan)));
	EXPECT_EQ(clamp(5.0f, 0.0f, 1.0f), 1.0f);
	EXPECT_EQ(clamp(-5.0f, 0.0f, 1.0f), 0.0f);
	for (float x : { -10.0f, 1.5f, 10.0f })
		EXPECT_EQ(clamp(x, 2.0f, 1.0f), 2.0f) << "low wins over a lower high, x = " << x;
	EXPECT_TRUE(std::isnan(clamp(nan, 0.0f, 1.0f)));

	const struct
	{
		float value, low, high, newLow, newHigh;
		float expected;
	} maps[] = {
		{ 0.5f, 0.0f, 1.0f, 10.0f, 20.0f, 15.0f },
		{ 2.0f, 0.0f, 1.0f, 10.0f, 20.0f, 20.0f },
		{ -1.0f, 0.0f, 1.0f, 10.0f, 20.0f, 10.0f },
		// A reversed source range maps backwards.
		{ 0.25f, 1.0f, 0.0f, 0.0f, 10.0f, 7.5f },
		// A reversed target range always gives newLow.
		{ 0.0f, 0.0f, 1.0f, 20.0f, 10.0f, 20.0f },
		{ 1.0f, 0.0f, 1.0f, 20.0f, 10.0f, 20.0f },
	};
	for (const auto& m : maps)
		EXPECT_EQ(map(m.value, m.low, m.high, m.newLow, m.newHigh), m.expected)
			<< m.value << " from [" << m.low << ", " << m.high << "] to [" << m.newLow << ", " << m.newHigh << "]";
	EXPECT_TRUE(std::isnan(map(nan, 0.0f, 1.0f, 10.0f, 20.0f)));
}

// rand() results from 2^31 - 64 upward round to 2^31 in single precision, so
// max itself comes out. The position of such a result in glibc's sequence for
// seed 1 was found by search; other C libraries skip the exact check.
TEST(UtilitiesTest, RandomReachesMax)
{
	std::srand(1);
	if (std::rand() != 1804289383)
		GTEST_SKIP() << "this C library's rand() sequence differs from glibc's";
	// The draw at index 13068230 is 2147483611.
	for (long i = 1; i < 13068230; ++i)
		std::rand();
	EXPECT_EQ(random(-3.0f, 5.0f), 5.0f);
}

TEST(UtilitiesTest, ReplaceAll)
{
	const struct
	{
		const char* text;
		const char* from;
		const char* to;
		const char* expected;
	} cases[] = {
		{ "one two one", "one", "1", "1 two 1" },
		{ "abc", "x", "y", "abc" },    // absent
		{ "abc", "b", "b", "abc" },    // equal from and to
		{ "abb", "ab", "a", "ab" },    // inserted text is not searched again
		{ "aXa", "a", "aa", "aaXaa" }, // replacement contains the searched text
		{ "aaaa", "aa", "b", "bb" },
		{ "aaa", "a", "", "" },
		{ "abc", "", "x", "abc" }, // an empty pattern matches nothing
		{ "", "a", "b", "" },
	};
	for (const auto& c : cases)
	{
		std::string text = c.text;
		ReplaceAll(text, c.from, c.to);
		EXPECT_EQ(text, c.expected) << "\"" << c.text << "\": \"" << c.from << "\" -> \"" << c.to << "\"";
	}
}
