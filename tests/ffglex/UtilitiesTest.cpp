#include "ffglex/FFGLUtilities.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

using namespace ffglex;

TEST(UtilitiesTest, PowersOfTwo)
{
	for (std::uint32_t n : { 0u, 1u, 3u, 1024u, 0x80000000u })
		EXPECT_EQ(is_power_of_2(n), n == 1u || n == 1024u || n == 0x80000000u) << n;
	const struct
	{
		int n, expected;
	} cases[] = {
		{ 0, 0 }, { 1, 1 }, { 3, 4 }, { 1024, 1024 }, { 1025, 2048 }, { INT_MIN, INT_MIN }, { -5, 0 },
		{ (1 << 30) + 1, INT_MIN }, // above 2^30 the only power left is the sign bit's pattern
	};
	for (const auto& c : cases)
		EXPECT_EQ(npot(c.n), c.expected) << c.n;
}

// One row per sector, and the rows that take the last branch.
TEST(UtilitiesTest, HSVtoRGBBySector)
{
	const struct
	{
		double h, s, v;
		double r, g, b;
	} cases[] = {
		{ 0.3, 0.0, 0.6, 0.6, 0.6, 0.6 }, // no saturation: grey, whatever the hue
		{ 0.125, 1.0, 1.0, 1.0, 0.75, 0.0 }, { 0.25, 0.5, 0.8, 0.6, 0.8, 0.4 }, { 0.375, 1.0, 1.0, 0.0, 1.0, 0.25 },
		{ 0.625, 1.0, 1.0, 0.0, 0.25, 1.0 }, { 0.75, 1.0, 1.0, 0.5, 0.0, 1.0 }, { 0.875, 1.0, 1.0, 1.0, 0.0, 0.75 },
		{ 1.0, 1.0, 1.0, 1.0, 0.0, 1.0 },  // h = 1 is not wrapped: sector 6, taken as 5
		{ -0.1, 1.0, 1.0, 1.0, 0.0, 0.6 }, // negative hue, also the last row
	};
	for (const auto& c : cases)
	{
		float r = -1.0f, g = -1.0f, b = -1.0f;
		HSVtoRGB(static_cast<float>(c.h), static_cast<float>(c.s), static_cast<float>(c.v), r, g, b);
		EXPECT_NEAR(std::abs(r - c.r) + std::abs(g - c.g) + std::abs(b - c.b), 0.0, 1e-6) << c.h;
	}
	double r = -1.0, g = -1.0, b = -1.0;
	HSVtoRGB(0.625, 1.0, 1.0, &r, &g, &b);
	EXPECT_EQ((std::vector<double>{ r, g, b }), (std::vector<double>{ 0.0, 0.25, 1.0 }));
}

TEST(UtilitiesTest, ClampAndMapWithReversedRangesAndNaN)
{
	const float nan = std::numeric_limits<float>::quiet_NaN();
	EXPECT_EQ(clamp01(-1.0f), 0.0f);
	EXPECT_EQ(clamp01(2.0f), 1.0f);
	EXPECT_TRUE(std::isnan(clamp01(nan)));
	EXPECT_EQ(clamp(5.0f, 0.0f, 1.0f), 1.0f);
	EXPECT_EQ(clamp(1.5f, 2.0f, 1.0f), 2.0f) << "low wins over a lower high";
	EXPECT_TRUE(std::isnan(clamp(nan, 0.0f, 1.0f)));
	const struct
	{
		float value, low, high, newLow, newHigh, expected;
	} maps[] = {
		{ 0.5f, 0.0f, 1.0f, 10.0f, 20.0f, 15.0f }, { 2.0f, 0.0f, 1.0f, 10.0f, 20.0f, 20.0f },
		{ -1.0f, 0.0f, 1.0f, 10.0f, 20.0f, 10.0f },
		{ 0.25f, 1.0f, 0.0f, 0.0f, 10.0f, 7.5f },  // a reversed source range maps backwards
		{ 1.0f, 0.0f, 1.0f, 20.0f, 10.0f, 20.0f }, // a reversed target range always gives newLow
	};
	for (const auto& m : maps)
		EXPECT_EQ(map(m.value, m.low, m.high, m.newLow, m.newHigh), m.expected) << m.value << " " << m.newLow;
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
		const char *text, *from, *to, *expected;
	} cases[] = {
		{ "one two one", "one", "1", "1 two 1" }, { "abc", "b", "b", "abc" }, // equal from and to
		{ "abb", "ab", "a", "ab" },                                           // inserted text is not searched again
		{ "aXa", "a", "aa", "aaXaa" },                                        // replacement contains the searched text
		{ "abc", "", "x", "abc" },                                            // an empty pattern matches nothing
	};
	for (const auto& c : cases)
	{
		std::string text = c.text;
		ReplaceAll(text, c.from, c.to);
		EXPECT_EQ(text, c.expected) << "\"" << c.text << "\": \"" << c.from << "\" -> \"" << c.to << "\"";
	}
}
