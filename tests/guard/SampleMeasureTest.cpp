// The sample measure without GL: pictures held in memory, read through a
// PixelReader of the test's own.
#include "guard/SampleMeasure.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace
{
constexpr Rgba8 kBlack = { 0, 0, 0, 255 };
constexpr Rgba8 kWhite = { 255, 255, 255, 255 };

using Points = std::vector<std::pair<int, int>>;

// A picture of one colour with some pixels marked in another; the reader cannot
// see column blindColumn, where it answers white.
class MarkedPicture final : public PixelReader
{
public:
	MarkedPicture(Rgba8 background, Rgba8 mark, const Points& marked, int blindColumn = -1) :
		background(background),
		mark(mark),
		marked(marked.begin(), marked.end()),
		blindColumn(blindColumn)
	{
	}
	bool Read(std::int32_t x, std::int32_t y, Rgba8& pixel) const override
	{
		pixel = x == blindColumn || marked.count({ x, y }) != 0 ? mark : background;
		return x != blindColumn;
	}

private:
	Rgba8 background;
	Rgba8 mark;
	std::set<std::pair<int, int>> marked;
	int blindColumn;
};

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
	SampleMeasure measure;
	measure.SetViewport({ 0, 0, 64, 64 });
	for (const Case& c : cases)
	{
		SCOPED_TRACE(::testing::Message()
			<< int(c.colour.r) << "," << int(c.colour.g) << "," << int(c.colour.b) << "," << int(c.colour.a));
		LumaSamples samples;
		measure.Read(MarkedPicture(c.colour, c.colour, {}), samples);
		ASSERT_EQ(samples.count, 25u);
		EXPECT_EQ(BrightestLuma(samples) <= c.threshold, c.black);
	}
}

TEST(SampleMeasureTest, OnlyTheGridPointsCount)
{
	SampleMeasure measure;
	measure.SetViewport({ 0, 0, 64, 64 });
	LumaSamples samples;
	// Any one white grid point is the brightest sample, at its own index.
	for (std::size_t i = 0; i < kGrid64.size(); ++i)
	{
		measure.Read(MarkedPicture(kBlack, kWhite, { kGrid64[i] }), samples);
		EXPECT_EQ(BrightestLuma(samples), 1.0f) << i;
		EXPECT_EQ(samples.values[i], 1.0f) << i;
	}
	// White everywhere else, and white beside a grid point, go unseen; so do
	// values past the count.
	samples.values.fill(1.0f);
	measure.Read(MarkedPicture(kWhite, kBlack, kGrid64), samples);
	EXPECT_EQ(BrightestLuma(samples), 0.0f);
	measure.Read(MarkedPicture(kBlack, kWhite, { { 57, 56 }, { 56, 57 }, { 5, 6 } }), samples);
	EXPECT_EQ(BrightestLuma(samples), 0.0f);
	EXPECT_TRUE(samples.readable);
	samples.count = 0;
	EXPECT_EQ(BrightestLuma(samples), 0.0f);
}

// A sample the reader cannot see is white and marks the array; others are not.
TEST(SampleMeasureTest, AnUnreadableSampleIsWhiteAndMarksTheArray)
{
	SampleMeasure measure;
	LumaSamples samples;
	measure.SetViewport({ 0, 0, 1, 64 });
	measure.Read(MarkedPicture(kBlack, kWhite, {}, 0), samples);
	EXPECT_FALSE(samples.readable);
	EXPECT_EQ(BrightestLuma(samples), 1.0f);
	measure.SetViewport({ 0, 0, 64, 64 });
	measure.Read(MarkedPicture(kBlack, kWhite, {}, 0), samples);
	EXPECT_TRUE(samples.readable);
	EXPECT_EQ(BrightestLuma(samples), 0.0f);
}
} // namespace
