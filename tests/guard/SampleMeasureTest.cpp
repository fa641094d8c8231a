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

// A picture of one colour with some pixels marked in another.
class MarkedPicture final : public PixelReader
{
public:
	MarkedPicture(Rgba8 background, Rgba8 mark, std::set<std::pair<int, int>> marked) :
		background(background),
		mark(mark),
		marked(std::move(marked))
	{
	}
	bool Read(std::int32_t x, std::int32_t y, Rgba8& pixel) const override
	{
		pixel = marked.count({ x, y }) != 0 ? mark : background;
		return true;
	}

private:
	Rgba8 background;
	Rgba8 mark;
	std::set<std::pair<int, int>> marked;
};

std::vector<std::pair<int, int>> Positions(const FFGLViewportStructTag& viewport)
{
	SampleMeasure measure;
	measure.SetViewport(viewport);
	std::vector<std::pair<int, int>> points;
	for (std::size_t i = 0; i < measure.Count(); ++i)
		points.emplace_back(measure.Position(i).x, measure.Position(i).y);
	return points;
}

// Sample i sits at column columns[i % 5], row rows[i / 5].
std::vector<std::pair<int, int>> Grid(const std::vector<int>& columns, const std::vector<int>& rows)
{
	std::vector<std::pair<int, int>> points;
	for (int y : rows)
		for (int x : columns)
			points.emplace_back(x, y);
	return points;
}

TEST(SampleMeasureTest, GridPositions)
{
	struct Case
	{
		FFGLViewportStructTag viewport;
		std::vector<int> columns;
		std::vector<int> rows;
	};
	const Case cases[] = {
		// trunc(f x 63) for f = 0.1, 0.3, 0.5, 0.7, 0.9.
		{ { 0, 0, 64, 64 }, { 6, 18, 31, 44, 56 }, { 6, 18, 31, 44, 56 } },
		{ { 16, 8, 32, 32 }, { 19, 25, 31, 37, 43 }, { 11, 17, 23, 29, 35 } },
		{ { 0, 0, 1, 2 }, { 0, 0, 0, 0, 0 }, { 0, 0, 0, 0, 0 } },
		{ { 3, 0, 0, 1920 }, { 3, 3, 3, 3, 3 }, { 191, 575, 959, 1343, 1727 } },
		{ { 0, 5, 1080, 0 }, { 107, 323, 539, 755, 971 }, { 5, 5, 5, 5, 5 } },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(::testing::Message() << c.viewport.width << "x" << c.viewport.height);
		EXPECT_EQ(Positions(c.viewport), Grid(c.columns, c.rows));
	}
}

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
		{ { 8, 8, 8, 255 }, 0.035f, true },
		{ { 9, 9, 9, 255 }, 0.035f, false },
		{ { 63, 63, 63, 255 }, 0.25f, true },
		{ { 64, 64, 64, 255 }, 0.25f, false },
		{ { 255, 0, 0, 255 }, 0.25f, true },
		{ { 0, 0, 255, 255 }, 0.25f, true },
		{ { 0, 255, 0, 255 }, 0.25f, false },
		{ { 255, 255, 255, 0 }, 0.035f, false },
	};
	SampleMeasure measure;
	measure.SetViewport({ 0, 0, 64, 64 });
	for (const Case& c : cases)
	{
		SCOPED_TRACE(::testing::Message() << int(c.colour.r) << "," << int(c.colour.g) << "," << int(c.colour.b));
		LumaSamples samples;
		measure.Read(MarkedPicture(c.colour, c.colour, {}), samples);
		ASSERT_EQ(samples.count, 25u);
		EXPECT_EQ(BrightestLuma(samples) <= c.threshold, c.black);
	}
}

TEST(SampleMeasureTest, OnlyTheGridPointsCount)
{
	const auto grid = Positions({ 0, 0, 64, 64 });
	SampleMeasure measure;
	measure.SetViewport({ 0, 0, 64, 64 });
	LumaSamples samples;

	// Any one white grid point is the brightest sample, at its own index.
	for (std::size_t i = 0; i < grid.size(); ++i)
	{
		measure.Read(MarkedPicture(kBlack, kWhite, { grid[i] }), samples);
		EXPECT_EQ(BrightestLuma(samples), 1.0f) << i;
		EXPECT_EQ(samples.values[i], 1.0f) << i;
	}
	// White everywhere else, and white beside a grid point, go unseen; so do
	// values past the count.
	samples.values.fill(1.0f);
	measure.Read(MarkedPicture(kWhite, kBlack, { grid.begin(), grid.end() }), samples);
	EXPECT_EQ(BrightestLuma(samples), 0.0f);
	measure.Read(MarkedPicture(kBlack, kWhite, { { 57, 56 }, { 56, 57 }, { 5, 6 } }), samples);
	EXPECT_EQ(BrightestLuma(samples), 0.0f);

	samples.count = 0;
	EXPECT_EQ(BrightestLuma(samples), 0.0f);
	EXPECT_TRUE(samples.readable);
}

// A reader that cannot see the sample points at column 0.
class BlindAtColumnZero final : public PixelReader
{
public:
	bool Read(std::int32_t x, std::int32_t, Rgba8& pixel) const override
	{
		pixel = x == 0 ? kWhite : kBlack;
		return x != 0;
	}
};

TEST(SampleMeasureTest, AnUnreadableSampleIsWhiteAndMarksTheArray)
{
	SampleMeasure measure;
	LumaSamples samples;
	measure.SetViewport({ 0, 0, 64, 64 });
	measure.Read(BlindAtColumnZero(), samples);
	EXPECT_TRUE(samples.readable);
	EXPECT_EQ(BrightestLuma(samples), 0.0f);
	measure.SetViewport({ 0, 0, 1, 64 });
	measure.Read(BlindAtColumnZero(), samples);
	EXPECT_FALSE(samples.readable);
	EXPECT_EQ(BrightestLuma(samples), 1.0f);
}
} // namespace
