// What run and calibrate advise: the "Black Threshold" to set, and a paced run
// falling behind real time (from clock readings).
#include "guard/GuardParameters.h"
#include "tools/run/ModuleWatches.h"
#include "tools/run/PaceWatch.h"
#include "tools/run/SuggestedThreshold.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace
{

TEST(RunAdviceTest, SuggestedThresholdIsTheNextShownStepThatCountsThePictureBlack)
{
	// A blue no-signal screen (0, 0, 192); level and margin landing on a step,
	// the float a hair above; the slider's top; past it.
	const auto mapping = ffgltool::FindModuleWatch(ffgltool::kBlackGuardId)->Rules().front().thresholdAt;
	for (const auto& [brightest, display] :
		{ std::pair(0.0544f, "6.0%"), std::pair(0.1f, "10.5%"), std::pair(0.245f, "25.0%"), std::pair(0.2451f, "") })
	{
		const auto suggestion = ffgltool::SuggestThreshold(brightest, mapping);
		ASSERT_EQ(suggestion ? suggestion->display : "", display) << brightest;
		if (!suggestion)
			continue;
		GuardParameters plugIn; // set as a host reads the printed slider value
		plugIn.Set(GuardParameters::kBlackThreshold, std::stof(std::to_string(suggestion->slider)));
		char shown[16];
		plugIn.Display(GuardParameters::kBlackThreshold, shown, sizeof shown);
		EXPECT_EQ(shown, suggestion->display);
		EXPECT_LE(brightest, plugIn.BlackThreshold());
	}
}

// A blue no-signal screen for 3 s: the guard, whose only rule misses it,
// advises a threshold; the Watch at "Still Hold" 0 catches it by its still
// rule after the 0.25 s repeat grace, well inside its black hold, so it needs
// no other threshold and gives no advice.
TEST(RunAdviceTest, FlatDarkAdviceOnlyWhereNoRuleCatchesThePicture)
{
	std::vector<std::uint8_t> blue(64 * 36 * 4);
	for (std::size_t i = 0; i < blue.size(); i += 4)
		blue[i + 2] = 192, blue[i + 3] = 255;
	for (const auto& [id, advises] : { std::pair(ffgltool::kBlackGuardId, true), std::pair(ffgltool::kWatchId, false) })
	{
		const auto watch = ffgltool::FindModuleWatch(id);
		watch->Set({ "", "", "", "Still Hold" }, { 0.0f, 0.0f, 0.0f, 0.0f });
		ffgltool::FrameValues values;
		watch->Measure({ blue.data(), 64, 36 }, values);
		std::string advice;
		for (int n = 0; n < 90; ++n)
		{
			watch->Frame(values, static_cast<std::int64_t>(n * 1e9 / 30));
			advice += watch->TakeWarning();
		}
		EXPECT_EQ(!advice.empty(), advises) << id << ": " << advice;
	}
}

TEST(RunAdviceTest, PaceWatchWarnsOnceWhenFramesFallBehind)
{
	const std::string behind =
		"the run cannot keep real time: 134 frames took 2.73 s, 49 fps of the 60 asked; the "
		"times shown run late against the footage's own, and a hold on the module's real-time clock passes on fewer "
		"frames than in real time (a smaller --size or --fps may keep up)";
	const struct
	{
		double drawn, start, stall; // frames a second, the first frame's delay, seconds lost at frame 10
		std::string says;
	} cases[] = { { 49.0, 0.0, 0.0, behind }, { 60.0, 3.0, 0.0, "" }, { 58.0, 0.0, 0.0, "" }, { 60.0, 0.0, 0.4, "" } };
	for (const auto& c : cases)
	{
		ffgltool::PaceWatch watch(60.0);
		std::string said;
		for (long long n = 0; n < 3000; ++n)
			said += watch.Frame(static_cast<std::uint64_t>(n), c.start + n / c.drawn + (n >= 10 ? c.stall : 0.0));
		EXPECT_EQ(said, c.says) << c.drawn;
	}
}

} // namespace
