// `ffgl-host calibrate` as a program, on clips built with ffmpeg: the settings
// it recommends make the guard's own units send exactly once for the drop-out
// (and another recording of it) and never on the live picture, and the Watch's
// units likewise for a frozen drop-out; a pair only the still rule separates,
// an inseparable pair and bad inputs end with the right status and one error
// line.
#include "guard/GuardParameters.h"
#include "tests/tools/ToolProcess.h"
#include "tools/calibrate/Recording.h"
#include "tools/run/ModuleWatches.h"
#include "watch/DropOutWatch.h"
#include "watching/Arming.h"
#include "watching/RunClock.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

namespace
{

// The black guard's units, set as calibrate recommends, over a recording at
// 30 fps: the frames at which it sends.
int Sends(const std::string& path, double slider, double hold, RunClock& run, Arming& arming, double& clock)
{
	GuardParameters parameters;
	parameters.Set(GuardParameters::kBlackThreshold, static_cast<float>(slider));
	parameters.Set(GuardParameters::kBlackHold, static_cast<float>(hold / 10.0));
	int sends = 0;
	for (float luma : ffgltool::Recording::Read(path, 160, 90, ffgltool::kBlackGuardId).brightest)
	{
		const bool black = luma <= parameters.BlackThreshold();
		const std::int64_t now = std::llround(clock * 1e9);
		sends += arming.Advance(black, run.Advance(black, now, parameters.BlackHold()), now, parameters.Recovery());
		clock += 1.0 / 30.0;
	}
	return sends;
}

TEST(CalibrateCommandTest, RecommendsSettingsThatSeparateDropOutFromLive)
{
	const std::string live = ClipFile("live", "testsrc2=s=160x90:r=30:d=2,noise=alls=6:allf=t");
	const std::string dim = ClipFile("dim", "testsrc2=s=160x90:r=30:d=1,lutrgb=r=val/5:g=val/5:b=val/5");
	const struct
	{
		const char* what;
		std::string graph;
		std::string other; // the same drop-out another time, not calibrated on
	} cases[] = {
		{ "limited-range black", "color=c=0x101010:s=160x90:r=30:d=2", "color=c=0x111111:s=160x90:r=30:d=2" },
		{ "a blue no-signal screen", "color=c=0x0000C0:s=160x90:r=30:d=2", "color=c=0x0000C4:s=160x90:r=30:d=2" },
		{ "a noisy lens cap", "color=c=black:s=160x90:r=30:d=2,noise=alls=12:allf=t",
			"color=c=black:s=160x90:r=30:d=2,noise=alls=12:allf=t:all_seed=1" },
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.what);
		const std::string dropout = ClipFile("dropout", c.graph);
		const ToolResult result = RunFfglHost(
			{ "calibrate", "--live", live, "--dropout", dropout, "--size", "160x90", "--json", "--hold", "0" });
		ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
		const nlohmann::json json = nlohmann::json::parse(result.out);
		EXPECT_EQ(json["hold_safe"], true) << "no live frame is that dark";
		const double slider = json["slider"];
		const double hold = std::max(json["min_safe_hold_s"].get<double>(), 0.5);
		// The guard at the default 3.5 % misses each of these drop-outs.
		EXPECT_GT(json["threshold"], 0.035) << result.out;

		RunClock run;
		Arming arming;
		double clock = 0.0;
		EXPECT_EQ(Sends(live, slider, hold, run, arming, clock), 0);
		EXPECT_EQ(Sends(dim, slider, hold, run, arming, clock), 0);
		EXPECT_EQ(Sends(dropout, slider, hold, run, arming, clock), 1);
		const std::string other = ClipFile("other", c.other);
		RunClock otherRun;
		Arming armed;
		EXPECT_EQ(Sends(other, slider, hold, otherRun, armed, clock), 1);
		std::remove(dropout.c_str());
		std::remove(other.c_str());
	}
	std::remove(live.c_str());
	std::remove(dim.c_str());
}

// A static shot through strong noise reduction stands still for half a
// second: the Watch set to the recommended "Still Hold" rides over it, and
// sends once for a frozen drop-out.
TEST(CalibrateCommandTest, RecommendsAStillHoldThatRidesOverLiveStillness)
{
	const std::string moving = "testsrc2=s=160x90:r=30:d=1,noise=alls=6:allf=t";
	const std::string live =
		ClipFile("live", moving + "[a];color=c=0x808080:s=160x90:r=30:d=0.5[b];" + moving + "[c];[a][b][c]concat=n=3");
	const std::string frozen = ClipFile("frozen", "color=c=0x505050:s=160x90:r=30:d=2");
	const ToolResult result =
		RunFfglHost({ "calibrate", "--live", live, "--dropout", frozen, "--size", "160x90", "--json" });
	ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
	const nlohmann::json still = nlohmann::json::parse(result.out)["still"];
	EXPECT_EQ(still["longest_live_run_s"], 0.5) << still;
	EXPECT_EQ(still["dropout_still"], true) << still;

	WatchParameters parameters;
	parameters.Set(WatchParameters::kStillHold, still["min_safe_hold_s"].get<float>() / 10.0f);
	DropOutWatch watch;
	int sends = 0;
	std::int64_t clock = 0;
	for (const std::string& path : { live, frozen })
	{
		const ffgltool::Recording recording = ffgltool::Recording::Read(path, 160, 90, ffgltool::kWatchId);
		CellValues cells; // the brightest mean stands for all
		cells.means.count = 1;
		cells.points.count = recording.perFrame;
		for (std::size_t i = 0; i < recording.Frames(); ++i)
		{
			cells.means.values[0] = recording.brightest[i];
			std::copy_n(recording.samples.begin() + static_cast<std::ptrdiff_t>(i * recording.perFrame),
				recording.perFrame, cells.points.values.begin());
			sends += watch.Advance(cells, parameters, clock += 33'333'333).send;
		}
		EXPECT_EQ(sends, path == live ? 0 : 1);
		std::remove(path.c_str());
	}
}

// A capped lens with +-12 levels of gain noise around 4/255: the Watch's cell
// means average the noise away, where the guard's single pixels catch its
// peaks; so --watch recommends a threshold below the Watch's default.
TEST(CalibrateCommandTest, CalibratesTheWatchOnItsOwnCells)
{
	const std::string live = ClipFile("live", "testsrc2=s=640x360:r=30:d=1", 640, 360);
	const std::string capped =
		ClipFile("capped", "color=c=0x040404:s=640x360:r=30:d=1,format=gbrp,noise=alls=24:allf=t+u", 640, 360);
	double thresholds[2] = {};
	for (const bool watch : { false, true })
	{
		std::vector<std::string> args = { "calibrate", "--live", live, "--dropout", capped, "--size", "640x360",
			"--json" };
		if (watch)
			args.push_back("--watch");
		const ToolResult result = RunFfglHost(args);
		ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
		thresholds[watch] = nlohmann::json::parse(result.out).at("threshold").get<double>();
	}
	EXPECT_GT(thresholds[false], 0.06);
	EXPECT_LT(thresholds[true], 0.035);
	std::remove(live.c_str());
	std::remove(capped.c_str());
}

TEST(CalibrateCommandTest, NamesTheRuleThatSeparatesThemOrWhyNoneDoes)
{
	const std::string live = ClipFile("live", "testsrc2=s=160x90:r=30:d=1");
	const std::string black = ClipFile("black", "color=c=black:s=160x90:r=30:d=1");
	const std::string bright = ClipFile("bright", "color=c=0x505050:s=160x90:r=30:d=1,noise=alls=12:allf=t");
	const std::string frozen = ClipFile("frozen", "color=c=0x505050:s=160x90:r=30:d=1");
	const std::string empty = TempPath("empty");
	const std::string partial = TempPath("partial");
	std::ofstream(empty).flush();
	std::ofstream(partial) << std::string(1000, 'x');
	const struct
	{
		std::string live;
		std::string dropout;
		int status;
		const char* says;
	} cases[] = {
		{ black, black, 1, "live frames 0 to 29 stay as dark as the drop-out for the whole live recording" },
		{ live, bright, 1, "Threshold     none" },
		{ live, frozen, 0,
			"\nDrop-out      still from its first frame to its last: the Watch's still rule catches it" },
		{ black, live, 1,
			"Note          the live recording is the darker (median 0.0 % against 92.1 %): are --live and "
			"--dropout swapped?" },
		{ live, "/no/such/file", 4, "cannot open /no/such/file" },
		{ live, empty, 4, "holds 0 bytes" },
		{ partial, black, 4, "not a whole number of raw RGBA frames of 160x90" },
		{ live, "/dev/null", 4, "holds no frame" },
	};
	for (const auto& c : cases)
	{
		const ToolResult result =
			RunFfglHost({ "calibrate", "--live", c.live, "--dropout", c.dropout, "--size", "160x90" });
		EXPECT_EQ(result.exitStatus, c.status) << c.says;
		EXPECT_NE((result.out + result.err).find(c.says), std::string::npos) << result.out << result.err;
		EXPECT_EQ(result.out.find("swapped?") != std::string::npos,
			std::string(c.says).find("swapped?") != std::string::npos);
		EXPECT_LE(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
	}
	for (const std::string& path : { live, black, bright, frozen, empty, partial })
		std::remove(path.c_str());
}

} // namespace
