#include "ffglqs/Random.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <set>

namespace
{
// What GetRandomFloat(0, 1) must make of the next two outputs of a generator.
double ExpectedUnitFloat(std::mt19937& reference)
{
	const double a = reference();
	const double b = reference();
	return (a + b * 4294967296.0) / 18446744073709551616.0;
}

TEST(RandomTest, FloatDrawTakesTwoOutputsLowWordFirst)
{
	ffglqs::Random random(1234u);
	std::mt19937 reference(1234u);

	for(int i = 0; i < 3; ++i)
		EXPECT_EQ(random.GetRandomFloat(0.0f, 1.0f), static_cast<float>(ExpectedUnitFloat(reference))) << "draw " << i;

	// Six outputs consumed on both sides: the next full-range integer is the
	// seventh output of the reference.
	std::uniform_int_distribution<int> full(INT_MIN, INT_MAX);
	EXPECT_EQ(random.GetRandomInt(INT_MIN, INT_MAX), full(reference));
}

TEST(RandomTest, SingleValueIntRangeDrawsNothing)
{
	ffglqs::Random random(7u);
	std::mt19937 reference(7u);
	EXPECT_EQ(random.GetRandomInt(5, 5), 5);
	EXPECT_EQ(random.GetRandomFloat(0.0f, 1.0f), static_cast<float>(ExpectedUnitFloat(reference)));
}

TEST(RandomTest, BothEndsOfAnIntRangeAreReachable)
{
	ffglqs::Random random(2024u);
	int counts[2] = { 0, 0 };
	for(int i = 0; i < 2000; ++i)
	{
		const int value = random.GetRandomInt(0, 1);
		ASSERT_TRUE(value == 0 || value == 1) << value;
		++counts[value];
	}
	// About equally often: each side far from 0 and from 2000.
	EXPECT_GT(counts[0], 800);
	EXPECT_GT(counts[1], 800);

	std::set<int> seen;
	for(int i = 0; i < 500; ++i)
	{
		const int value = random.GetRandomInt(-3, 3);
		ASSERT_GE(value, -3);
		ASSERT_LE(value, 3);
		seen.insert(value);
	}
	EXPECT_EQ(seen.size(), 7u);
}

TEST(RandomTest, ReversedIntBoundsMeanTheSameRange)
{
	ffglqs::Random random(5u);
	std::set<int> seen;
	for(int i = 0; i < 200; ++i)
		seen.insert(random.GetRandomInt(3, 1));
	EXPECT_EQ(seen, (std::set<int>{ 1, 2, 3 }));
}

TEST(RandomTest, FloatRanges)
{
	ffglqs::Random random(11u);
	EXPECT_EQ(random.GetRandomFloat(2.0f, 2.0f), 2.0f);

	bool belowMiddle = false;
	bool aboveMiddle = false;
	for(int i = 0; i < 200; ++i)
	{
		// Reversed: d is negative, values still lie between the two.
		const float value = random.GetRandomFloat(3.0f, 1.0f);
		ASSERT_GE(value, 1.0f);
		ASSERT_LE(value, 3.0f);
		belowMiddle = belowMiddle || value < 2.0f;
		aboveMiddle = aboveMiddle || value > 2.0f;
	}
	EXPECT_TRUE(belowMiddle);
	EXPECT_TRUE(aboveMiddle);
}

TEST(RandomTest, DefaultConstructionSeedsEachInstanceFromTheDevice)
{
	ffglqs::Random first;
	ffglqs::Random second;
	bool differs = false;
	for(int i = 0; i < 4 && !differs; ++i)
		differs = first.GetRandomInt(INT_MIN, INT_MAX) != second.GetRandomInt(INT_MIN, INT_MAX);
	EXPECT_TRUE(differs);
}

}// namespace
