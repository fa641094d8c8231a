// The still guard's verdict and timing on clips built by ffmpeg, measured on
// the module's own 7 x 7 grid with the clips held in memory, and clock
// readings passed in: frame n of a clip at f frames a second is shown at n / f.
#include "still/StillWatch.h"
#include "guard/MemoryPixelReader.h"
#include "still/StillGuard.h"
#include "tests/support/Clips.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Samples = std::vector<LumaSamples>;

// Every frame of an ffmpeg source graph at 160 x 90, measured.
Samples Measure(const std::string& graph)
{
	std::string error;
	const tests::Clip clip = tests::MakeClip(graph, 160, 90, error);
	EXPECT_FALSE(clip.frames.empty()) << error;
	SampleMeasure measure(StillGuard::kGrid, 7);
	measure.SetViewport({ 0, 0, 160, 90 });
	Samples samples(clip.frames.size());
	for (std::size_t i = 0; i < clip.frames.size(); ++i)
		measure.Read(MemoryPixelReader(clip.frames[i].data(), 160, 90, MemoryPixelReader::Rows::TopDown), samples[i]);
	return samples;
}

Samples Then(Samples first, const Samples& second)
{
	first.insert(first.end(), second.begin(), second.end());
	return first;
}

Samples UnreadableAt(Samples frames, std::size_t frame)
{
	frames.at(frame).readable = false;
	return frames;
}

const std::string kMoving = "testsrc2=s=160x90:r=30";
const std::string kBlue = "color=c=0x0000C0:s=160x90";

// The frames at which the still guard, with its default parameters, sends
// ("Still Hold" 2 s, "Recovery" 0.5 s), within a frame.
TEST(StillWatchTest, SendsOncePerStillRun)
{
	struct Case
	{
		const char* what;
		Samples frames;
		double fps;
		std::vector<double> sends;
	};
	const Case cases[] = {
		{ "a moving picture that freezes", Measure(kMoving + ":d=1,tpad=stop_mode=clone:stop_duration=3"), 30, { 89 } },
		{ "a blue no-signal screen", Measure(kBlue + ":r=30:d=3"), 30, { 60 } },
		{ "a white no-signal box on black",
			Measure("color=c=black:s=160x90:r=30:d=3,drawbox=x=60:y=35:w=40:h=20:c=white:t=fill"), 30, { 60 } },
		{ "an unreadable frame restarts the run", UnreadableAt(Measure(kBlue + ":r=30:d=5"), 45), 30, { 106 } },
		{ "content repeated frame by frame re-arms",
			Then(Then(Measure(kBlue + ":r=60:d=3"), Measure("testsrc2=s=160x90:r=25:d=1,fps=60")),
				Measure(kBlue + ":r=60:d=3")),
			60, { 120, 360 } },
		// Live pictures never send.
		// Each frame's change is below the tolerance; their sum is not.
		{ "blue rising a level a frame", Measure("color=c=0x404000:s=160x90:r=30:d=4,geq=r=64:g=64:b=N+16"), 30, {} },
		{ "a slow pan, 2/3 pixel a frame", Measure("testsrc2=s=320x90:r=30:d=4,crop=160:90:'t*20':0"), 30, {} },
		{ "a letterboxed picture", Measure("testsrc2=s=160x60:r=30:d=4,pad=160:90:0:15"), 30, {} },
		{ "25 fps content shown at 60 fps", Measure("testsrc2=s=160x90:r=25:d=4,fps=60"), 60, {} },
		// Black belongs to the black guard on the same layer: one switch, not two.
		{ "a camera that drops to black", Then(Measure(kMoving + ":d=1"), Measure("color=c=black:s=160x90:r=30:d=4")),
			30, {} },
		// New noise of up to +-3 levels in every channel of every pixel, every frame.
		{ "a camera on a tripod",
			Measure(kMoving + ":d=0.01,tpad=stop_mode=clone:stop_duration=4,format=gbrp,noise=alls=6:allf=t+u"), 30,
			{} },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		StillParameters parameters;
		StillWatch watch;
		std::vector<double> sends;
		for (std::size_t i = 0; i < c.frames.size(); ++i)
		{
			const auto now = static_cast<std::int64_t>(static_cast<double>(i) * 1e9 / c.fps);
			if (watch.Advance(c.frames[i], parameters, now).send)
				sends.push_back(static_cast<double>(i));
		}
		ASSERT_EQ(sends.size(), c.sends.size());
		for (std::size_t i = 0; i < sends.size(); ++i)
			EXPECT_NEAR(sends[i], c.sends[i], 1.0);
	}
}

} // namespace
