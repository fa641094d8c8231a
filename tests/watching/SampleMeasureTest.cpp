// The sample measure without GL, over 64 x 64 pictures held in memory with
// their rows bottom-up.
#include "watching/SampleMeasure.h"
#include "watching/MemoryPixelReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace
{
constexpr Rgba8 kBlack = { 0, 0, 0, 255 };
constexpr Rgba8 kWhite = { 255, 255, 255, 255 };

using Points = std::vector<std::pair<int, int>>;

// Sample i sits at column columns[i % 5], row rows[i / 5].
Points Grid(const std::vector<int>& columns, const std::vector<int>& rows)
{
	Points points;
	for (int y : rows)
		for (int x : columns)
			points.emplace_back(x, y);
	return points;
}

const Points kGrid64 = Grid({ 6, 18, 31, 44, 56 }, { 6, 18, 31, 44, 56 }); // trunc(f x 63), f = 0.1, 0.3, ...

// The samples of a picture of one colour with the marked pixels in another,
// read into an array left white and unreadable by an earlier picture.
LumaSamples Read(Rgba8 background, Rgba8 mark, const Points& marked, const FFGLViewportStructTag& viewport)
{
	std::vector<std::uint8_t> pixels;
	for (int i = 0; i < 64 * 64; ++i)
	{
		const Rgba8 c =
			std::count(marked.begin(), marked.end(), std::make_pair(i % 64, i / 64)) != 0 ? mark : background;
		pixels.insert(pixels.end(), { c.r, c.g, c.b, c.a });
	}
	SampleMeasure measure;
	measure.SetViewport(viewport);
	LumaSamples samples;
	samples.values.fill(1.0f);
	samples.readable = false;
	measure.Read(MemoryPixelReader(pixels.data(), 64, 64, MemoryPixelReader::Rows::BottomUp), samples);
	return samples;
}

TEST(SampleMeasureTest, GridPositions)
{
	struct Case
	{
		FFGLViewportStructTag viewport;
		Points points;
	};
	const Case cases[] = {
		{ { 0, 0, 64, 64 }, kGrid64 },
		{ { 16, 8, 32, 32 }, Grid({ 19, 25, 31, 37, 43 }, { 11, 17, 23, 29, 35 }) },
		// An axis of fewer than two pixels puts every sample on its first.
		{ { 3, 0, 0, 1920 }, Grid({ 3, 3, 3, 3, 3 }, { 191, 575, 959, 1343, 1727 }) },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(::testing::Message() << c.viewport.width << "x" << c.viewport.height);
		SampleMeasure measure;
		measure.SetViewport(c.viewport);
		Points points;
		for (std::size_t i = 0; i < measure.Count(); ++i)
			points.emplace_back(measure.Position(i).x, measure.Position(i).y);
		EXPECT_EQ(points, c.points);
	}
}

// Rec. 709 luma of 8-bit values.
TEST(SampleMeasureTest, BrightestLumaAgainstAThreshold)
{
	struct Case
	{
		Rgba8 colour;
		float threshold;
		bool black;
	};
	const Case cases[] = {
		{ kBlack, 0.0f, true },
		{ { 1, 1, 1, 255 }, 0.0f, false },
		{ { 63, 63, 63, 255 }, 0.25f, true },
		{ { 64, 64, 64, 255 }, 0.25f, false },
		{ { 255, 0, 0, 255 }, 0.2f, false },
		{ { 255, 0, 0, 255 }, 0.25f, true },
		{ { 0, 0, 255, 255 }, 0.1f, true },
		{ { 0, 255, 0, 255 }, 0.25f, false },
		{ { 255, 255, 255, 0 }, 0.035f, false },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(::testing::Message()
			<< int(c.colour.r) << "," << int(c.colour.g) << "," << int(c.colour.b) << "," << int(c.colour.a));
		const LumaSamples samples = Read(c.colour, c.colour, {}, { 0, 0, 64, 64 });
		ASSERT_EQ(samples.count, 25u);
		EXPECT_EQ(BrightestLuma(samples) <= c.threshold, c.black);
	}
}

TEST(SampleMeasureTest, OnlyTheGridPointsCount)
{
	// Any one white grid point is the brightest sample, at its own index.
	for (std::size_t i = 0; i < kGrid64.size(); ++i)
	{
		const LumaSamples samples = Read(kBlack, kWhite, { kGrid64[i] }, { 0, 0, 64, 64 });
		EXPECT_EQ(BrightestLuma(samples), 1.0f) << i;
		EXPECT_EQ(samples.values[i], 1.0f) << i;
	}
	// White everywhere else, and white beside a grid point, go unseen; so do
	// values past the count.
	EXPECT_EQ(BrightestLuma(Read(kWhite, kBlack, kGrid64, { 0, 0, 64, 64 })), 0.0f);
	const LumaSamples beside = Read(kBlack, kWhite, { { 57, 56 }, { 56, 57 }, { 5, 6 } }, { 0, 0, 64, 64 });
	EXPECT_EQ(BrightestLuma(beside), 0.0f);
	EXPECT_TRUE(beside.readable);
	LumaSamples empty;
	empty.values.fill(1.0f);
	EXPECT_EQ(BrightestLuma(empty), 0.0f);
}

// Over a viewport wider than the picture, the samples right of it (columns 64,
// 89 and 115; 38 is inside) cannot be seen: they are white and mark the array.
TEST(SampleMeasureTest, AnUnreadableSampleIsWhiteAndMarksTheArray)
{
	const LumaSamples samples = Read(kBlack, kBlack, {}, { 0, 0, 129, 64 });
	EXPECT_FALSE(samples.readable);
	EXPECT_EQ(samples.values[1], 0.0f);
	EXPECT_EQ(samples.values[2], 1.0f);
}
} // namespace
