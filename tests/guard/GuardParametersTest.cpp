// The guard's five parameters as a host sees them through the module: values
// go in as 0..1 floats, come back as the same, and show in working units.
#include "tests/guard/GuardModuleFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

using namespace tests;

namespace
{
class GuardParametersTest : public GuardModuleFixture
{
protected:
	void SetUp() override
	{
		GuardModuleFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		instance = Instantiate();
		ASSERT_NE(instance, nullptr);
	}

	std::uint64_t Get(std::uint32_t index) { return Call64(module, FF_GET_PARAMETER, Number(index), instance); }
	// The text lives in a 32-byte field and is always terminated within it.
	std::string Shown(std::uint32_t index)
	{
		const char* text = module.GetParameterDisplay(instance, index);
		if (text == nullptr)
			return "<null>";
		return std::memchr(text, '\0', 32) != nullptr ? std::string(text) : "<unterminated>";
	}

	void* instance = nullptr;
};

TEST_F(GuardParametersTest, DefaultsAndValuesInWorkingUnits)
{
	const char* const defaults[] = { "3.5%", "1.00 s", "0.50 s", "1", "7000" };
	const std::uint64_t defaultBits[] = { 0x3E0F5C29u, 0x3DCCCCCDu, 0x3DCCCCCDu, 0u, 0x3EAAAA9Fu };
	for (std::uint32_t i = 0; i < 5; ++i)
	{
		EXPECT_EQ(Shown(i), defaults[i]) << i;
		EXPECT_EQ(Get(i), defaultBits[i]) << i;
	}

	struct Case
	{
		std::uint32_t index;
		float sent;
		const char* display;
	};
	const Case cases[] = {
		{ 0, 1.0f, "25.0%" },
		{ 0, 0.0f, "0.0%" },
		{ 0, 0.5f, "12.5%" },
		{ 1, 1.0f, "10.00 s" },
		{ 1, 0.0f, "0.00 s" },
		{ 1, 0.25f, "2.50 s" },
		{ 2, 1.0f, "5.00 s" },
		{ 2, 0.0f, "0.00 s" },
		{ 2, 0.5f, "2.50 s" },
		{ 3, 1.0f, "99" },
		{ 3, 0.0f, "1" },
		{ 3, 0.5f, "50" },
		{ 4, 1.0f, "9000" },
		{ 4, 0.0f, "6000" },
		{ 4, 0.5f, "7500" },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(::testing::Message() << "index " << c.index << " value " << c.sent);
		EXPECT_EQ(Set(instance, c.index, c.sent), FF_SUCCESS);
		EXPECT_EQ(Shown(c.index), c.display);
		EXPECT_EQ(Get(c.index), FloatBits(c.sent));
	}
}

TEST_F(GuardParametersTest, OutOfRangeAndNaNAreClamped)
{
	const char* const atOne[] = { "25.0%", "10.00 s", "5.00 s", "99", "9000" };
	const char* const atZero[] = { "0.0%", "0.00 s", "0.00 s", "1", "6000" };
	for (std::uint32_t i = 0; i < 5; ++i)
	{
		for (float sent : { 1.5f, NAN, INFINITY, 7.0f, -0.2f, -INFINITY, -3.0f, -0.0f })
		{
			SCOPED_TRACE(::testing::Message() << "index " << i << " value " << sent);
			const bool asOne = std::isnan(sent) || sent > 1.0f;
			EXPECT_EQ(Set(instance, i, sent), FF_SUCCESS);
			EXPECT_EQ(Shown(i), asOne ? atOne[i] : atZero[i]);
			EXPECT_EQ(Get(i), FloatBits(asOne ? 1.0f : 0.0f));
		}
	}
}

TEST_F(GuardParametersTest, UnknownIndexChangesNothing)
{
	ASSERT_EQ(Set(instance, 4, 1.0f), FF_SUCCESS);
	for (std::uint32_t index : { 5u, 0xFFFFFFFFu })
	{
		for (float value : { 0.0f, 0.5f, NAN })
			EXPECT_EQ(Set(instance, index, value), FF_FAIL);
		EXPECT_EQ(Get(index), FloatBits(0.0f));
		EXPECT_EQ(Shown(index), "");
	}
	const std::uint64_t expected[] = { 0x3E0F5C29u, 0x3DCCCCCDu, 0x3DCCCCCDu, 0u, FloatBits(1.0f) };
	for (std::uint32_t i = 0; i < 5; ++i)
		EXPECT_EQ(Get(i), expected[i]) << i;

	// Another instance, and the prototype's defaults, keep their own values;
	// each instance shows them in a text of its own.
	void* other = Instantiate();
	ASSERT_NE(other, nullptr);
	const char* mine = module.GetParameterDisplay(instance, 4);
	const char* theirs = module.GetParameterDisplay(other, 4);
	EXPECT_STREQ(mine, "9000");
	EXPECT_STREQ(theirs, "7000");
	EXPECT_EQ(Call64(module, FF_GET_PARAMETER_DEFAULT, Number(4)), 0x3EAAAA9Fu);
}
} // namespace
