#include "ffglqs/Random.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>

namespace
{
// What GetRandomFloat(0, 1) must make of the next two outputs of a generator.
float ExpectedUnitFloat(std::mt19937& reference)
{
	const double a = reference();
	const double b = reference();
	return static_cast<float>((a + b * 4294967296.0) / 18446744073709551616.0);
}

// Against a second generator seeded alike: a float draw takes two outputs, low
// word first, and a one-value integer range takes none.
TEST(RandomTest, DrawsConsumeTheGeneratorOutputsTheyShould)
{
	ffglqs::Random random(1234u);
	std::mt19937 reference(1234u);
	for (int i = 0; i < 3; ++i)
		EXPECT_EQ(random.GetRandomFloat(0.0f, 1.0f), ExpectedUnitFloat(reference)) << "draw " << i;
	EXPECT_EQ(random.GetRandomInt(5, 5), 5);
	std::uniform_int_distribution<int> full(INT_MIN, INT_MAX);
	EXPECT_EQ(random.GetRandomInt(INT_MIN, INT_MAX), full(reference));
	EXPECT_EQ(random.GetRandomFloat(2.0f, 2.0f), 2.0f);
}

TEST(RandomTest, IntegerRangesReachBothEndsInEitherOrder)
{
	ffglqs::Random random(2024u);
	int counts[2] = { 0, 0 };
	for (int i = 0; i < 2000; ++i)
		++counts[random.GetRandomInt(0, 1) == 0 ? 0 : 1];
	EXPECT_GT(counts[0], 800);
	EXPECT_GT(counts[1], 800);

	std::set<int> seen;
	for (int i = 0; i < 200; ++i)
		seen.insert(random.GetRandomInt(3, -3));
	EXPECT_EQ(seen, (std::set<int>{ -3, -2, -1, 0, 1, 2, 3 }));
}

TEST(RandomTest, ReversedFloatRangeGivesValuesBetweenItsEnds)
{
	ffglqs::Random random(11u);
	bool below = false, above = false;
	for (int i = 0; i < 200; ++i)
	{
		const float value = random.GetRandomFloat(3.0f, 1.0f);
		ASSERT_GE(value, 1.0f);
		ASSERT_LE(value, 3.0f);
		below = below || value < 2.0f;
		above = above || value > 2.0f;
	}
	EXPECT_TRUE(below && above);
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
