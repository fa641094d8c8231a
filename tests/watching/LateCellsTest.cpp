// Cell values judged frames after their frame, through a stand-in for the
// GPU whose results come back a set number of frames late, or when waited
// for. Frames come every 1/30 s; every picture is black.
#include "watching/BlackWatch.h"
#include "watching/LateCells.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{
constexpr double kFps = 30.0;

std::int64_t FrameNs(std::int64_t frame)
{
	return static_cast<std::int64_t>(static_cast<double>(frame) * 1e9 / kFps);
}

// Each slot's result is ready lag frames after its frame started, or at once
// when waited for. Its one mean is black; its one point is the number of the
// frame it measured.
class LaggingSource final : public CellSource
{
public:
	explicit LaggingSource(std::int64_t lag) : lag(lag) {}

	std::int64_t frame = 0;
	int waits = 0;

	bool Start(const FFGLTextureStructTag&, std::size_t slot) override
	{
		started[slot] = readyAt[slot] = frame;
		return true;
	}
	bool Ready(std::size_t slot) override { return frame - readyAt[slot] >= lag; }
	void Wait(std::size_t slot) override
	{
		++waits;
		readyAt[slot] = frame - lag;
	}
	void Take(std::size_t slot, CellValues& out) override
	{
		out.means.count = out.points.count = 1;
		out.means.values[0] = 0.0f;
		out.points.values[0] = static_cast<float>(started[slot]);
	}

private:
	std::int64_t lag;
	std::int64_t started[ResultRing::kSlots] = {};
	std::int64_t readyAt[ResultRing::kSlots] = {};
};

// With a black hold of 1 s: the frames judged in each of the first frames,
// the frame in which the hold is reached and the frame judged then, and the
// waits. A result judged late keeps its own frame's clock reading, so the hold
// is reached on frame 30's result, however late it comes back; frames that
// found every slot in flight are never judged and neither end nor start the
// run; after 0.25 s without a result a frame waits for the oldest.
TEST(LateCellsTest, JudgesEachResultWithItsOwnFramesClock)
{
	struct Case
	{
		const char* what;
		std::int64_t lag;
		std::vector<std::vector<std::int64_t>> judged; // per host frame, from frame 0
		std::int64_t dueIn;                            // the host frame
		int waits;                                     // until then, at most one a frame
	};
	const Case cases[] = {
		{ "ready at once: judged in the next frame", 0, { {}, { 0 }, { 1 }, { 2 } }, 31, 0 },
		{ "two frames late", 2, { {}, {}, { 0 }, { 1 }, { 2 } }, 32, 0 },
		{ "as late as the ring is long", 4, { {}, {}, {}, {}, { 0 }, { 1 } }, 34, 0 },
		{ "later than the ring: two of six frames not measured", 6,
			{ {}, {}, {}, {}, {}, {}, { 0 }, { 1 }, { 2 }, { 3 }, {}, {}, { 6 } }, 36, 0 },
		// One result each 0.25 s, waited for: late, but never blind.
		{ "a stalled GPU", 1000, { {}, {}, {}, {}, {}, {}, {}, {}, { 0 }, {}, {}, {}, {}, {}, {}, {}, { 1 } }, 64, 8 },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		LaggingSource source(c.lag);
		LateCells late(source);
		BlackWatch black;
		std::int64_t due = -1;
		std::int64_t dueFrame = -1;
		const FFGLTextureStructTag input{ 16, 16, 16, 16, 1 };
		for (std::int64_t frame = 0; frame < 90 && due < 0; ++frame)
		{
			source.frame = frame;
			std::vector<std::int64_t> judged;
			late.Frame(input, FrameNs(frame),
				[&](const CellValues& values, std::int64_t drawnNs)
				{
					const auto measured = static_cast<std::int64_t>(values.points.values[0]);
					EXPECT_EQ(drawnNs, FrameNs(measured));
					judged.push_back(measured);
					if (black.Advance(values.means, 0.035f, 1.0f, drawnNs).due && due < 0)
					{
						due = frame;
						dueFrame = measured;
					}
				});
			if (static_cast<std::size_t>(frame) < c.judged.size())
			{
				EXPECT_EQ(judged, c.judged[static_cast<std::size_t>(frame)]) << "frame " << frame;
			}
		}
		EXPECT_EQ(due, c.dueIn);
		EXPECT_EQ(dueFrame, c.lag < 1000 ? 30 : 32);
		EXPECT_EQ(source.waits, c.waits);
	}
}
} // namespace
