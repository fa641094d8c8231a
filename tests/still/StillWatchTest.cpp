// The still guard's verdict and timing on clips built by ffmpeg, measured on
// the module's own 7 x 7 grid with the clips held in memory, and clock
// readings passed in: frame n of a clip at f frames a second is shown at n / f.
#include "still/StillWatch.h"
#include "guard/GuardParameters.h"
#include "guard/HoldRecoveryTimer.h"
#include "guard/MemoryPixelReader.h"
#include "still/StillGuard.h"
#include "tests/support/Clips.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr int kWidth = 160;
constexpr int kHeight = 90;

using Samples = std::vector<LumaSamples>;

// Every frame of an ffmpeg source graph at 160 x 90, measured.
Samples Measure(const std::string& graph)
{
	std::string error;
	const tests::Clip clip = tests::MakeClip(graph, kWidth, kHeight, error);
	EXPECT_FALSE(clip.frames.empty()) << error;
	SampleMeasure measure(StillGuard::kGrid, 7);
	measure.SetViewport({ 0, 0, kWidth, kHeight });
	Samples samples(clip.frames.size());
	for (std::size_t i = 0; i < clip.frames.size(); ++i)
		measure.Read(
			MemoryPixelReader(clip.frames[i].data(), kWidth, kHeight, MemoryPixelReader::Rows::TopDown), samples[i]);
	return samples;
}

Samples Then(Samples first, const Samples& second)
{
	first.insert(first.end(), second.begin(), second.end());
	return first;
}

std::int64_t At(std::size_t frame, double fps)
{
	return static_cast<std::int64_t>(static_cast<double>(frame) * 1e9 / fps);
}

// The frames at which the still guard, with its default parameters, sends.
std::vector<std::size_t> StillSends(const Samples& frames, double fps, bool* armedAtEnd = nullptr)
{
	StillParameters parameters;
	StillWatch watch;
	std::vector<std::size_t> sends;
	for (std::size_t i = 0; i < frames.size(); ++i)
		if (watch.Advance(frames[i], parameters, At(i, fps)).send)
			sends.push_back(i);
	if (armedAtEnd != nullptr)
		*armedAtEnd = watch.Timing().Armed();
	return sends;
}

// The same for the black guard's units, with its default parameters.
std::vector<std::size_t> BlackSends(const Samples& frames, double fps)
{
	GuardParameters parameters;
	HoldRecoveryTimer timing;
	std::vector<std::size_t> sends;
	for (std::size_t i = 0; i < frames.size(); ++i)
		if (timing.Advance(BrightestLuma(frames[i]) <= parameters.BlackThreshold(), At(i, fps), parameters.BlackHold(),
				parameters.Recovery()))
			sends.push_back(i);
	return sends;
}

const std::string kMoving = "testsrc2=s=160x90:r=30";

TEST(StillWatchTest, SendsOnceWhenThePictureStops)
{
	struct Case
	{
		const char* what;
		std::string graph;
		std::size_t first; // the first frame of the still run
	};
	const Case cases[] = {
		{ "a moving picture that freezes", kMoving + ":d=1,tpad=stop_mode=clone:stop_duration=3", 29 },
		{ "a blue no-signal screen", "color=c=0x0000C0:s=160x90:r=30:d=3", 0 },
		{ "a white no-signal box on black",
			"color=c=black:s=160x90:r=30:d=3,drawbox=x=60:y=35:w=40:h=20:c=white:t=fill", 0 },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		const std::vector<std::size_t> sends = StillSends(Measure(c.graph), 30.0);
		ASSERT_EQ(sends.size(), 1u);
		// "Still Hold" is 2 s: 60 frames at 30 fps after the run's first frame.
		EXPECT_NEAR(static_cast<double>(sends[0]), static_cast<double>(c.first + 60), 1.0);
	}
}

// A still scene seen by a camera: one picture with new noise of up to +-3
// levels in every channel of every pixel, every frame.
Samples NoisyTripod()
{
	std::string error;
	const tests::Clip still = tests::MakeClip(kMoving + ":d=0.1", kWidth, kHeight, error);
	EXPECT_FALSE(still.frames.empty()) << error;
	std::mt19937 random(7);
	std::uniform_int_distribution<int> noise(-3, 3);
	SampleMeasure measure(StillGuard::kGrid, 7);
	measure.SetViewport({ 0, 0, kWidth, kHeight });
	Samples samples(120);
	for (LumaSamples& frame : samples)
	{
		std::vector<std::uint8_t> pixels = still.frames.at(0);
		for (std::size_t i = 0; i < pixels.size(); ++i)
			if (i % 4 != 3)
				pixels[i] = static_cast<std::uint8_t>(std::min(255, std::max(0, pixels[i] + noise(random))));
		measure.Read(MemoryPixelReader(pixels.data(), kWidth, kHeight, MemoryPixelReader::Rows::TopDown), frame);
	}
	return samples;
}

TEST(StillWatchTest, NeverSendsOnALivePicture)
{
	struct Case
	{
		const char* what;
		std::string graph;
		double fps;
	};
	const Case cases[] = {
		{ "a slow pan, 2/3 pixel a frame", "testsrc2=s=320x90:r=30:d=4,crop=160:90:'t*20':0", 30.0 },
		{ "a dim scene", kMoving + ":d=4,lutrgb=r=val/5:g=val/5:b=val/5", 30.0 },
		{ "a letterboxed picture", "testsrc2=s=160x60:r=30:d=4,pad=160:90:0:15", 30.0 },
		// A lit figure moving on black between the sample rows.
		{ "a dark stage", "color=c=black:s=160x90:r=30:d=4,drawbox=x='10+t*30':y=1:w=6:h=5:c=white:t=fill", 30.0 },
		{ "25 fps content shown at 60 fps", "testsrc2=s=160x90:r=25:d=4,fps=60", 60.0 },
	};
	for (const Case& c : cases)
		EXPECT_TRUE(StillSends(Measure(c.graph), c.fps).empty()) << c.what;
	const Samples tripod = NoisyTripod();
	EXPECT_TRUE(StillSends(tripod, 30.0).empty()) << "a camera on a tripod";
}

TEST(StillWatchTest, RearmsOnContentRepeatedFrameByFrame)
{
	const Samples frozen = Measure("color=c=0x0000C0:s=160x90:r=60:d=3");
	const Samples repeated = Measure("testsrc2=s=160x90:r=25:d=1,fps=60");
	bool armed = false;
	const std::vector<std::size_t> sends = StillSends(Then(Then(frozen, repeated), frozen), 60.0, &armed);
	ASSERT_EQ(sends.size(), 2u);
	EXPECT_NEAR(static_cast<double>(sends[1]), static_cast<double>(frozen.size() + repeated.size() + 120), 1.0);
}

TEST(StillWatchTest, AnUnreadableFrameIsMovingPicture)
{
	Samples frames = Measure("color=c=0x0000C0:s=160x90:r=30:d=5");
	frames[45].readable = false; // 1.5 s in: the run starts again after it
	const std::vector<std::size_t> sends = StillSends(frames, 30.0);
	ASSERT_EQ(sends.size(), 1u);
	EXPECT_NEAR(static_cast<double>(sends[0]), 46.0 + 60.0, 1.0);
}

// On one layer with the black guard, a camera that drops to black switches the
// host once: black is the black guard's, never a still picture.
TEST(StillWatchTest, ABlackDropOutIsTheBlackGuardsOnly)
{
	const Samples dropOut = Then(Measure(kMoving + ":d=1"), Measure("color=c=black:s=160x90:r=30:d=4"));
	EXPECT_TRUE(StillSends(dropOut, 30.0).empty());
	EXPECT_EQ(BlackSends(dropOut, 30.0).size(), 1u);
}
} // namespace
