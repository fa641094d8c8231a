// The Watch's verdict and timing on clips built by ffmpeg, measured on the
// module's own 7 x 7 grid with the clips held in memory, and clock readings
// passed in: frame n of a clip at f frames a second is shown at n / f.
#include "watch/DropOutWatch.h"
#include "tests/support/Clips.h"
#include "watch/TenebrixorWatch.h"
#include "watching/MemoryPixelReader.h"

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
	SampleMeasure measure(TenebrixorWatch::kGrid, 7);
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

// count frames from first on marked unreadable, their values left as measured.
Samples Unreadable(Samples frames, std::size_t first, std::size_t count)
{
	for (std::size_t i = first; i < first + count && i < frames.size(); ++i)
		frames[i].readable = false;
	return frames;
}

const std::string kMoving = "testsrc2=s=160x90:r=30";
const std::string kBlue = "color=c=0x0000C0:s=160x90";
const std::string kBlack = "color=c=black:s=160x90:r=30";
const std::string kFrozen = kMoving + ":d=0.01,tpad=stop_mode=clone:stop_duration=";

// The frames at which the Watch sends, within a frame: at its defaults ("Black
// Hold" 1 s, "Still Hold" 2 s, "Recovery" 0.5 s) unless a case sets its black
// threshold.
TEST(DropOutWatchTest, SendsOncePerDropOut)
{
	struct Case
	{
		const char* what;
		Samples frames;
		double fps;
		std::vector<double> sends;
		float blackThreshold = -1.0f; // a slider value; negative keeps the default
	};
	const Case cases[] = {
		{ "a camera that drops to black", Then(Measure(kMoving + ":d=1"), Measure(kBlack + ":d=3")), 30, { 60 } },
		{ "limited-range black shown unexpanded", Measure("color=c=0x101010:s=160x90:r=30:d=3"), 30, { 60 } },
		{ "a white no-signal box on black", Measure(kBlack + ":d=3,drawbox=x=60:y=35:w=40:h=20:c=white:t=fill"), 30,
			{ 60 } },
		{ "a moving picture that freezes", Measure(kMoving + ":d=1,tpad=stop_mode=clone:stop_duration=3"), 30, { 89 } },
		{ "black for 0.5 s, then a blue no-signal screen",
			Then(Measure(kBlack + ":d=0.5"), Measure(kBlue + ":r=30:d=3")), 30, { 75 } },
		{ "a picture frozen for 3 s, then black", Then(Measure(kFrozen + "3"), Measure(kBlack + ":d=2")), 30, { 60 } },
		{ "two black drop-outs of 1.6 s, 1 s of picture between",
			Then(Then(Measure(kBlack + ":d=1.6"), Measure(kMoving + ":d=1")), Measure(kBlack + ":d=1.6")), 30,
			{ 30, 108 } },
		// Dark frames are those of the Watch's own threshold: at 0 %, a dark grey is still.
		{ "a dark grey under a black threshold of 0", Measure("color=c=0x050505:s=160x90:r=30:d=3"), 30, { 60 }, 0.0f },
		{ "an unreadable frame restarts the still run", Unreadable(Measure(kBlue + ":r=30:d=5"), 45, 1), 30, { 106 } },
		{ "content repeated frame by frame re-arms",
			Then(Then(Measure(kBlue + ":r=60:d=3"), Measure("testsrc2=s=160x90:r=25:d=1,fps=60")),
				Measure(kBlue + ":r=60:d=3")),
			60, { 120, 360 } },
		// Live pictures never send.
		// New noise of up to +-3 levels in every channel of every pixel, every frame.
		{ "a camera on a tripod", Measure(kFrozen + "4,format=gbrp,noise=alls=6:allf=t+u"), 30, {} },
		{ "a slow pan, 2/3 pixel a frame", Measure("testsrc2=s=320x90:r=30:d=4,crop=160:90:'t*20':0"), 30, {} },
		// Each frame's change is below the tolerance; their sum is not.
		{ "blue rising a level a frame", Measure("color=c=0x404000:s=160x90:r=30:d=4,geq=r=64:g=64:b=N+16"), 30, {} },
		{ "12 fps content shown at 30 fps", Measure("testsrc2=s=160x90:r=12:d=4,fps=30"), 30, {} },
		{ "a dim scene at 12 % of full levels", Measure(kMoving + ":d=4,lutrgb=r=val*0.12:g=val*0.12:b=val*0.12"), 30,
			{} },
		{ "a letterboxed picture", Measure("testsrc2=s=160x60:r=30:d=4,pad=160:90:0:15"), 30, {} },
		{ "black that cannot be read", Unreadable(Measure(kBlack + ":d=3"), 0, 90), 30, {} },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		WatchParameters parameters;
		if (c.blackThreshold >= 0.0f)
			parameters.Set(WatchParameters::kBlackThreshold, c.blackThreshold);
		DropOutWatch watch;
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
