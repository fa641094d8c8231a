// What a host learns about quick-start parameters before it makes an instance:
// the prototype's answers through plugMain.
#include "tests/ffglqs/LoadedModule.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class ProbeModuleTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ASSERT_TRUE(module.IsLoaded()) << module.Error();
	}

	std::string Name(std::uint32_t code, std::uint32_t index) const
	{
		const char* text = static_cast<const char*>(module.Call(code, Number(index)).PointerValue);
		return text != nullptr ? std::string(text) : std::string("<null>");
	}

	static FFMixed Number(std::uint32_t value)
	{
		FFMixed input;
		input.PointerValue = nullptr;
		input.UIntValue = value;
		return input;
	}

	LoadedModule module{ QS_PARAM_PROBE_MODULE };
};

TEST_F(ProbeModuleTest, EveryParameterIsRegisteredUnderItsPosition)
{
	struct Expected
	{
		const char* name;
		std::uint32_t type;
	};
	const Expected expected[] = {
		{ "amount", FF_TYPE_STANDARD },
		{ "steps", FF_TYPE_INTEGER },
		{ "mode", FF_TYPE_OPTION },
		{ "label", FF_TYPE_TEXT },
		{ "spectrum", FF_TYPE_BUFFER },
		{ "tint", FF_TYPE_HUE },
		{ "tint_saturation", FF_TYPE_SATURATION },
		{ "tint_brightness", FF_TYPE_BRIGHTNESS },
		{ "tint_alpha", FF_TYPE_ALPHA },
		{ "enabled", FF_TYPE_BOOLEAN },
		{ "pulse", FF_TYPE_EVENT },
	};
	ASSERT_EQ(module.CallNumber(FF_GET_NUM_PARAMETERS, 0), 11u);
	for(std::uint32_t i = 0; i < 11; ++i)
	{
		EXPECT_EQ(Name(FF_GET_PARAMETER_NAME, i), expected[i].name);
		EXPECT_EQ(module.CallNumber(FF_GET_PARAMETER_TYPE, i), expected[i].type) << expected[i].name;
	}
}

TEST_F(ProbeModuleTest, RangesReportTheirOwnUnitsAndRange)
{
	struct Case
	{
		std::uint32_t index;
		float defaultValue, min, max;
	};
	const Case cases[] = { { 0, 50.0f, 0.0f, 100.0f }, { 1, 3.0f, 0.0f, 10.0f } };
	for(const Case& c : cases)
	{
		EXPECT_EQ(module.DefaultFloat(c.index), c.defaultValue);
		GetRangeStructTag range = { c.index, -1.0f, -1.0f };
		EXPECT_EQ(module.CallRecord(FF_GET_RANGE, &range).UIntValue, FF_SUCCESS);
		EXPECT_EQ(range.min, c.min);
		EXPECT_EQ(range.max, c.max);
	}
}

TEST_F(ProbeModuleTest, OptionsReportTheirChoicesWithValuesZeroOneTwo)
{
	EXPECT_EQ(module.CallNumber(FF_GET_NUM_PARAMETER_ELEMENTS, 2), 3u);
	EXPECT_EQ(module.DefaultFloat(2), 1.0f);
	const char* names[] = { "Soft", "Hard", "Wild" };
	for(std::uint32_t i = 0; i < 3; ++i)
	{
		const ParamElementStructTag element = { 2, i };
		const char* name = static_cast<const char*>(module.CallRecord(FF_GET_PARAMETER_ELEMENT_NAME, &element).PointerValue);
		ASSERT_NE(name, nullptr);
		EXPECT_STREQ(name, names[i]);
		EXPECT_EQ(LoadedModule::AsFloat(module.CallRecord(FF_GET_PARAMETER_ELEMENT_VALUE, &element).UIntValue), static_cast<float>(i));
	}
}

TEST_F(ProbeModuleTest, TextDefaultIsTheParametersOwnText)
{
	const char* text = static_cast<const char*>(module.Call(FF_GET_PARAMETER_DEFAULT, Number(3)).PointerValue);
	ASSERT_NE(text, nullptr);
	EXPECT_STREQ(text, "hello");
}

TEST_F(ProbeModuleTest, FFTParameterIsABufferOf2048ElementsWithUsageFFT)
{
	EXPECT_EQ(module.CallNumber(FF_GET_NUM_PARAMETER_ELEMENTS, 4), 2048u);
	EXPECT_EQ(module.CallNumber(FF_GET_PARAMETER_USAGE, 4), FF_USAGE_FFT);
	EXPECT_EQ(module.CallNumber(FF_GET_PARAMETER_USAGE, 0), FF_USAGE_STANDARD);
}

}// namespace
