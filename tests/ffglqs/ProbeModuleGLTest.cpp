// Quick-start parameters as a host sees them through plugMain: what the
// prototype reports before any instance exists, then text and FFT parameters
// of an instance. The module is the probe source of ParamProbePlugin.cpp.
#include "tests/ffglqs/FloatOutputFixture.h"

#include <cmath>
#include <string>

namespace
{
using ffgltool::PluginModule;

class ProbeModuleTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		std::string error;
		ASSERT_TRUE(module.Load(QS_PARAM_PROBE_MODULE, error)) << error;
	}
	void TearDown() override { module.DeInitialise(); }

	PluginModule module;
};

TEST_F(ProbeModuleTest, EveryParameterIsRegisteredUnderItsPosition)
{
	const struct
	{
		const char* name;
		std::uint32_t type;
	} expected[] = {
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
	ASSERT_EQ(module.GetNumParameters(), 11u);
	for (std::uint32_t i = 0; i < 11; ++i)
	{
		ASSERT_NE(module.GetParameterName(i), nullptr);
		EXPECT_STREQ(module.GetParameterName(i), expected[i].name);
		EXPECT_EQ(module.GetParameterType(i), expected[i].type) << expected[i].name;
	}
}

TEST_F(ProbeModuleTest, RangesReportTheirOwnUnitsAndRange)
{
	const struct
	{
		std::uint32_t index;
		float defaultValue, min, max;
	} cases[] = { { 0, 50.0f, 0.0f, 100.0f }, { 1, 3.0f, 0.0f, 10.0f } };
	for (const auto& c : cases)
	{
		EXPECT_EQ(PluginModule::FloatFromBits(module.GetParameterDefault(c.index).UIntValue), c.defaultValue);
		float min = -1.0f, max = -1.0f;
		EXPECT_EQ(module.GetParamRange(c.index, min, max), FF_SUCCESS);
		EXPECT_EQ(min, c.min);
		EXPECT_EQ(max, c.max);
	}
}

TEST_F(ProbeModuleTest, OptionsReportTheirChoicesWithValuesZeroOneTwo)
{
	ASSERT_EQ(module.GetNumParameterElements(2), 3u);
	EXPECT_EQ(PluginModule::FloatFromBits(module.GetParameterDefault(2).UIntValue), 1.0f);
	const char* names[] = { "Soft", "Hard", "Wild" };
	for (std::uint32_t i = 0; i < 3; ++i)
	{
		ASSERT_NE(module.GetParameterElementName(2, i), nullptr);
		EXPECT_STREQ(module.GetParameterElementName(2, i), names[i]);
		EXPECT_EQ(PluginModule::FloatFromBits(module.GetParameterElementValue(2, i)), static_cast<float>(i));
	}
}

TEST_F(ProbeModuleTest, TextDefaultIsTheParametersOwnTextAndFFTIsA2048ElementBuffer)
{
	const char* text = static_cast<const char*>(module.GetParameterDefault(3).PointerValue);
	ASSERT_NE(text, nullptr);
	EXPECT_STREQ(text, "hello");
	EXPECT_EQ(module.GetNumParameterElements(4), 2048u);
	EXPECT_EQ(module.GetParameterUsage(4), FF_USAGE_FFT);
	EXPECT_EQ(module.GetParameterUsage(0), FF_USAGE_STANDARD);
}

using ProbeInstanceTest = ModuleFixture;

TEST_F(ProbeInstanceTest, TextParameterKeepsItsTextInANewInstance)
{
	Start(QS_PARAM_PROBE_MODULE);
	const auto text = [this]()
	{
		const char* value = static_cast<const char*>(module.GetParameter(instance, 3).PointerValue);
		return value != nullptr ? std::string(value) : std::string("<null>");
	};
	EXPECT_EQ(text(), "hello");
	EXPECT_EQ(module.SetTextParameter(instance, 3, "changed"), FF_SUCCESS);
	EXPECT_EQ(text(), "changed");
	EXPECT_EQ(module.SetTextParameter(instance, 3, nullptr), FF_SUCCESS);
	EXPECT_EQ(text(), "");
	// The range's default reached the instance in its own units.
	EXPECT_EQ(PluginModule::FloatFromBits(module.GetParameter(instance, 0).UIntValue), 50.0f);
}

// The probe draws its analyser's levels: red volume, green bass, blue mid,
// alpha high, with gain 1 and no smoothing.
TEST_F(ProbeInstanceTest, FFTBufferFilledByTheHostReachesTheAnalyser)
{
	Start(QS_PARAM_PROBE_MODULE);
	const auto fill = [this](std::uint32_t first, std::uint32_t last, float value)
	{
		for (std::uint32_t bin = first; bin <= last; ++bin)
			ASSERT_EQ(module.SetParameterElementValue(instance, 4, bin, value), FF_SUCCESS);
	};

	// Bass bins only: 682 of 2048.
	fill(0, 681, 1.0f);
	ASSERT_EQ(Frame(), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ std::sqrt(682.0f / 2048.0f), 1.0f, 0.0f, 0.0f }));

	// Then the high bins at 0.5 and the bass cleared; the two bins between
	// the bands at 2 count toward the volume alone.
	fill(0, 681, 0.0f);
	fill(1365, 2047, 0.5f);
	fill(682, 682, 2.0f);
	fill(1364, 1364, 2.0f);
	ASSERT_EQ(Frame(), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ std::sqrt((683.0f * 0.25f + 8.0f) / 2048.0f), 0.0f, 0.0f, 0.5f }));
	EXPECT_EQ(module.SetParameterElementValue(instance, 4, 2048, 1.0f), FF_FAIL);
}

} // namespace
