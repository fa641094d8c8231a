// The guard's five parameters as a host sees them through the module: values
// go in as 0..1 floats, come back as the same, and show in working units.
// Instantiation builds the guard's GL objects, so these run on the headless
// GL context too.
#include "tests/host/PluginModule.h"
#include "tests/support/GLFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using tests::FloatArg;
using tests::FloatBits;
using tests::kFail64;
using tests::Number;
using tests::Pointer;
using tests::PluginModule;

namespace
{
class GuardParametersTest : public GLFixture
{
protected:
	void SetUp() override
	{
		GLFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		ASSERT_TRUE(module.Loaded()) << module.error;
		instance = module.Instantiate();
		ASSERT_NE(instance, nullptr);
	}
	void TearDown() override
	{
		if (instance != nullptr)
			module.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
		if (module.Loaded())
			module.Call(FF_DEINITIALISE);
		GLFixture::TearDown();
	}

	std::uint64_t Set(std::uint32_t index, float value)
	{
		SetParameterStructTag set{ index, FloatArg(value) };
		return module.Call64(FF_SET_PARAMETER, Pointer(&set), instance);
	}
	std::uint64_t Get(std::uint32_t index) { return module.Call64(FF_GET_PARAMETER, Number(index), instance); }
	std::string Display(std::uint32_t index)
	{
		const char* text = static_cast<const char*>(module.Call(FF_GET_PARAMETER_DISPLAY, Number(index), instance).PointerValue);
		if (text == nullptr)
			return "<null>";
		// The text lives in a 32-byte field and is always terminated within it.
		const void* end = std::memchr(text, '\0', 32);
		return end != nullptr ? std::string(text) : "<unterminated>";
	}

	PluginModule module{ TENEBRIXOR_MODULE_PATH };
	void* instance = nullptr;
};

TEST_F(GuardParametersTest, DefaultsOfANewInstance)
{
	const char* const displays[] = { "3.5%", "1.00 s", "0.50 s", "1", "7000" };
	const std::uint32_t values[] = { 0x3E0F5C29u, 0x3DCCCCCDu, 0x3DCCCCCDu, 0x00000000u, 0x3EAAAA9Fu };
	for (std::uint32_t i = 0; i < 5; ++i)
	{
		EXPECT_EQ(Display(i), displays[i]) << i;
		EXPECT_EQ(Get(i), values[i]) << i;
	}
}

TEST_F(GuardParametersTest, ValuesAreScaledIntoWorkingUnits)
{
	struct Case
	{
		std::uint32_t index;
		float sent;
		const char* display;
		float readBack;
	};
	const Case cases[] = {
		{ 0, 1.0f, "25.0%", 1.0f },   { 0, 0.0f, "0.0%", 0.0f },     { 0, 0.5f, "12.5%", 0.5f },
		{ 1, 1.0f, "10.00 s", 1.0f }, { 1, 0.0f, "0.00 s", 0.0f },   { 1, 0.25f, "2.50 s", 0.25f },
		{ 2, 1.0f, "5.00 s", 1.0f },  { 2, 0.0f, "0.00 s", 0.0f },   { 2, 0.5f, "2.50 s", 0.5f },
		{ 3, 1.0f, "99", 1.0f },      { 3, 0.0f, "1", 0.0f },        { 3, 0.5f, "50", 0.5f },
		{ 4, 1.0f, "9000", 1.0f },    { 4, 0.0f, "6000", 0.0f },     { 4, 0.5f, "7500", 0.5f },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(::testing::Message() << "index " << c.index << " value " << c.sent);
		EXPECT_EQ(Set(c.index, c.sent), FF_SUCCESS);
		EXPECT_EQ(Display(c.index), c.display);
		EXPECT_EQ(Get(c.index), FloatBits(c.readBack));
	}
}

TEST_F(GuardParametersTest, OutOfRangeAndNaNAreClamped)
{
	const char* const atOne[] = { "25.0%", "10.00 s", "5.00 s", "99", "9000" };
	const char* const atZero[] = { "0.0%", "0.00 s", "0.00 s", "1", "6000" };
	struct Case
	{
		float sent;
		bool behavesAsOne;
	};
	const Case cases[] = { { 1.5f, true }, { NAN, true }, { INFINITY, true }, { 7.0f, true },
		                   { -0.2f, false }, { -INFINITY, false }, { -3.0f, false } };
	for (std::uint32_t i = 0; i < 5; ++i)
	{
		for (const Case& c : cases)
		{
			SCOPED_TRACE(::testing::Message() << "index " << i << " value " << c.sent);
			EXPECT_EQ(Set(i, c.sent), FF_SUCCESS);
			EXPECT_EQ(Display(i), c.behavesAsOne ? atOne[i] : atZero[i]);
			EXPECT_EQ(Get(i), FloatBits(c.behavesAsOne ? 1.0f : 0.0f));
		}
	}
}

TEST_F(GuardParametersTest, UnknownIndexChangesNothing)
{
	std::vector<std::uint64_t> before;
	for (std::uint32_t i = 0; i < 5; ++i)
		before.push_back(Get(i));

	for (float value : { 0.0f, 0.5f, 1.0f, NAN })
		EXPECT_EQ(Set(5, value), kFail64);
	EXPECT_EQ(Set(0xFFFFFFFFu, 0.5f), kFail64);

	for (std::uint32_t i = 0; i < 5; ++i)
		EXPECT_EQ(Get(i), before[i]) << i;
	EXPECT_EQ(Get(5), FloatBits(0.0f));
	EXPECT_EQ(Display(5), "");
	EXPECT_EQ(Display(0xFFFFFFFFu), "");
}

TEST_F(GuardParametersTest, EachInstanceKeepsItsOwnValuesAndDisplay)
{
	void* other = module.Instantiate();
	ASSERT_NE(other, nullptr);
	ASSERT_EQ(Set(4, 1.0f), FF_SUCCESS);

	const char* mine = static_cast<const char*>(module.Call(FF_GET_PARAMETER_DISPLAY, Number(4), instance).PointerValue);
	const char* theirs = static_cast<const char*>(module.Call(FF_GET_PARAMETER_DISPLAY, Number(4), other).PointerValue);
	EXPECT_STREQ(mine, "9000");
	EXPECT_STREQ(theirs, "7000");
	// The prototype's defaults are untouched by an instance's values.
	EXPECT_EQ(module.Call64(FF_GET_PARAMETER_DEFAULT, Number(4)), 0x3EAAAA9Fu);
	module.Call(FF_DEINSTANTIATE_GL, Number(0), other);
}
} // namespace
