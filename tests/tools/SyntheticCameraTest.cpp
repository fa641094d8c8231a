// The synthetic camera's picture keeps moving between its drop-outs, so that
// no still rule takes it for a frozen one: the white box crossing its lower
// band moves from every frame to the next.
#include "tools/run/SyntheticCamera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(SyntheticCameraTest, ItsPictureMovesFromFrameToFrame)
{
	ffgltool::SyntheticCamera camera(160, 90, 30.0);
	const std::size_t band = 160 * 4 * 30; // the lower third: rows run from the bottom up
	std::vector<std::uint8_t> previous(160 * 90 * 4), frame(previous.size());
	std::string error;
	camera.Next(0, previous.data(), error);
	for (std::uint64_t n = 1; n < 90; ++n, previous.swap(frame)) // the picture before the first drop-out
	{
		camera.Next(n, frame.data(), error);
		EXPECT_FALSE(std::equal(frame.begin(), frame.begin() + band, previous.begin())) << "frame " << n;
	}
	// Beside the box every row of the band is plain and alike; the bars reach the left edge.
	const auto row = [&previous](int r) { return previous.begin() + r * 160 * 4; };
	EXPECT_TRUE(std::equal(row(0) + 4, row(1), row(0)) && std::equal(row(0), row(1), row(29)));
	EXPECT_TRUE(std::equal(row(30), row(30) + 4, row(30) + 4));
}
