// The guard's five sliders and their working units, without a host.
#include "guard/GuardParameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace
{
std::string Shown(const GuardParameters& parameters, unsigned int index)
{
	char text[32];
	std::memset(text, 'x', sizeof(text));
	parameters.Display(index, text, sizeof(text));
	return std::memchr(text, '\0', sizeof(text)) != nullptr ? std::string(text) : "<unterminated>";
}

TEST(GuardParametersTest, SlidersInWorkingUnits)
{
	struct Case
	{
		unsigned int index;
		float sent;
		float stored; // what Get answers
		const char* display;
	};
	const Case cases[] = {
		{ 0, 1.0f, 1.0f, "25.0%" },
		{ 1, 0.25f, 0.25f, "2.50 s" },
		{ 2, 0.5f, 0.5f, "2.50 s" },
		{ 3, 1.0f, 1.0f, "99" },
		{ 3, 0.25f, 0.25f, "26" }, // 24.5 rounds away from zero
		{ 4, 1.0f, 1.0f, "9000" },
		{ 4, 0.1875f, 0.1875f, "6563" }, // 562.5 rounds away from zero
		{ 0, 1.5f, 1.0f, "25.0%" },
		{ 1, NAN, 1.0f, "10.00 s" },
		{ 4, -INFINITY, 0.0f, "6000" },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(::testing::Message() << "index " << c.index << " value " << c.sent);
		GuardParameters parameters;
		EXPECT_TRUE(parameters.Set(c.index, c.sent));
		EXPECT_EQ(parameters.Get(c.index), c.stored);
		EXPECT_EQ(Shown(parameters, c.index), c.display);
	}
}
} // namespace
