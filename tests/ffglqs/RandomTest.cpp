#include "ffglqs/Random.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>

namespace
{
// Against a second generator seeded alike: a float draw takes two outputs, low
// word first, and a one-value integer range takes none.
TEST(RandomTest, DrawsConsumeTheGeneratorOutputsTheyShould)
{
	ffglqs::Random random(1234u);
	std::mt19937 reference(1234u);
	for (int i = 0; i < 2; ++i)
	{
		const double a = reference(), b = reference();
		EXPECT_EQ(
			random.GetRandomFloat(0.0f, 1.0f), static_cast<float>((a + b * 4294967296.0) / 18446744073709551616.0));
	}
	EXPECT_EQ(random.GetRandomInt(5, 5), 5);
	EXPECT_EQ(random.GetRandomInt(INT_MIN, INT_MAX), std::uniform_int_distribution<int>(INT_MIN, INT_MAX)(reference));
	EXPECT_EQ(random.GetRandomFloat(2.0f, 2.0f), 2.0f);
}

// Both ends of an integer range come out, in either order; a reversed float
// range gives values between its ends.
TEST(RandomTest, RangesReachBothEndsInEitherOrder)
{
	ffglqs::Random random(2024u);
	std::set<int> seen;
	for (int i = 0; i < 200; ++i)
		seen.insert(random.GetRandomInt(3, -3));
	EXPECT_EQ(seen, (std::set<int>{ -3, -2, -1, 0, 1, 2, 3 }));
	for (int i = 0; i < 200; ++i)
	{
		const float value = random.GetRandomFloat(3.0f, 1.0f);
		ASSERT_GE(value, 1.0f);
		ASSERT_LE(value, 3.0f);
	}
}

TEST(RandomTest, DefaultConstructionSeedsEachInstanceFromTheDevice)
{
	ffglqs::Random first;
	ffglqs::Random second;
	bool differs = false;
	for (int i = 0; i < 4 && !differs; ++i)
		differs = first.GetRandomInt(INT_MIN, INT_MAX) != second.GetRandomInt(INT_MIN, INT_MAX);
	EXPECT_TRUE(differs);
}

} // namespace
