// The Watch's verdict and timing on clips built by ffmpeg, measured on the
// module's own cell grid (the CPU model of what the GPU computes), and clock
// readings passed in: frame n of a clip at f frames a second is shown at n / f.
#include "watch/DropOutWatch.h"
#include "tests/support/Clips.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{
using Samples = std::vector<CellValues>;

// Every frame of an ffmpeg source graph at width x height, measured; turned
// over first, since GL counts rows from the bottom.
Samples Measure(const std::string& graph, std::uint32_t width = 160, std::uint32_t height = 90)
{
	std::string error;
	Samples samples;
	EXPECT_TRUE(tests::ForEachFrame(
		graph + ",vflip", static_cast<int>(width), static_cast<int>(height),
		[&](const std::uint8_t* frame)
		{
			samples.emplace_back();
			CellGrid::Measure(frame, width, height, samples.back());
		},
		error))
		<< error;
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
		frames[i].means.readable = frames[i].points.readable = false;
	return frames;
}

// The frames at which a DropOutWatch with parameters sends over frames shown
// at fps.
std::vector<double> Watch(const Samples& frames, double fps, const WatchParameters& parameters)
{
	DropOutWatch watch;
	std::vector<double> sends;
	for (std::size_t i = 0; i < frames.size(); ++i)
		if (watch.Advance(frames[i], parameters, static_cast<std::int64_t>(static_cast<double>(i) * 1e9 / fps)).send)
			sends.push_back(static_cast<double>(i));
	return sends;
}

// Within a frame.
void ExpectSends(const std::vector<double>& sends, const std::vector<double>& expected)
{
	ASSERT_EQ(sends.size(), expected.size());
	for (std::size_t i = 0; i < sends.size(); ++i)
		EXPECT_NEAR(sends[i], expected[i], 1.0);
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
		ExpectSends(Watch(c.frames, c.fps, parameters), c.sends);
	}
}

// Pictures that only a measure of the whole picture tells apart, at 640 x 360
// and scaled to 1920 x 1080, at the defaults: each is black in no frame or in
// every frame, and sends as listed. Noise is added at the final size.
TEST(DropOutWatchTest, JudgesTheWholePicture)
{
	struct Case
	{
		const char* what;
		std::string graph; // at 640 x 360, 30 fps
		std::string noise; // filters at the final size
		bool black;
		std::vector<double> sends;
	};
	const std::string stage = "color=c=black:s=640x360:r=30:d=3";
	// Bright 8 x 8 objects across the corners where four 16 x 15 cells meet.
	std::string sparse = stage;
	for (const char* at : { "x=12:y=11", "x=332:y=161", "x=620:y=341" })
		sparse += std::string(",drawbox=") + at + ":w=8:h=8:c=0xCCCCCC:t=fill";
	const std::string liveNoise = ",format=gbrp,noise=alls=6:allf=t+u"; // +-3 levels, new every frame
	const Case cases[] = {
		// One pixel a frame to the right and up: every position within a cell.
		{ "a lit figure of 40 x 44 at 50 % crossing a crushed-black stage",
			stage + "[s];color=c=0x808080:s=40x44:r=30[f];[s][f]overlay=x=n:y=n:shortest=1", "", false, {} },
		{ "sparse 8 x 8 objects at 80 % on a dark stage", sparse, liveNoise, false, {} },
		{ "a dim scene at 12 % of full levels", "testsrc2=s=640x360:r=30:d=3,lutrgb=r=val*0.12:g=val*0.12:b=val*0.12",
			"", false, {} },
		{ "a capped lens: +-12 levels of gain noise around 4/255", "color=c=0x040404:s=640x360:r=30:d=3",
			",format=gbrp,noise=alls=24:allf=t+u", true, { 30 } },
		{ "a switcher's small static logo over a lost camera", stage + ",drawbox=x=560:y=20:w=48:h=20:c=white:t=fill",
			"", false, { 60 } },
	};
	for (const auto& size : { std::pair<std::uint32_t, std::uint32_t>{ 640, 360 }, { 1920, 1080 } })
		for (const Case& c : cases)
		{
			SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(size.first));
			const std::string scale = ",scale=" + std::to_string(size.first) + ":" + std::to_string(size.second) +
				":flags=neighbor";
			const Samples frames = Measure(c.graph + scale + c.noise, size.first, size.second);
			const WatchParameters defaults;
			for (std::size_t i = 0; i < frames.size(); ++i)
				ASSERT_EQ(BlackWatch::Judge(frames[i].means, defaults.BlackThreshold()).black, c.black) << "frame " << i;
			ExpectSends(Watch(frames, 30, defaults), c.sends);
		}
}

} // namespace
