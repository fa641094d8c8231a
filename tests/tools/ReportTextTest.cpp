#include "tools/ReportText.h"

#include <gtest/gtest.h>

namespace
{

// RealText tells every two floats apart; RoundedText shows what a slider shows.
// Neither writes an exponent where plain digits are as short.
TEST(ReportText, RealAndRoundedTexts)
{
	const struct
	{
		float value;
		const char* real;
		const char* rounded;
	} cases[] = {
		{ 0.002f / 0.05f, "0.040000003", "0.04" }, // one step above 0.04f
		{ 10.0f, "10", "10" },
		{ -2500.0f, "-2500", "-2500" },
	};
	for (const auto& c : cases)
	{
		EXPECT_EQ(ffgltool::RealText(c.value), c.real);
		EXPECT_EQ(ffgltool::RoundedText(c.value), c.rounded);
	}
}

} // namespace
