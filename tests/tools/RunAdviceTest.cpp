// What run and calibrate advise: the "Black Threshold" to set.
#include "guard/GuardParameters.h"
#include "tools/run/SuggestedThreshold.h"

#include <gtest/gtest.h>

namespace
{

TEST(RunAdviceTest, SuggestedThresholdIsTheNextShownStepThatCountsThePictureBlack)
{
	// A blue no-signal screen (0, 0, 192); level and margin landing on a step,
	// the float a hair above; the slider's top; past it.
	for (const auto& [brightest, display] :
		{ std::pair(0.0544f, "6.0%"), std::pair(0.1f, "10.5%"), std::pair(0.245f, "25.0%"), std::pair(0.2451f, "") })
	{
		const auto suggestion = ffgltool::SuggestThreshold(brightest);
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

} // namespace
