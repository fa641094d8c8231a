// Quick-start parameters as a host sees them through plugMain: what the
// prototype reports before any instance exists, then text and FFT parameters
// of an instance. The module is the probe source of ParamProbePlugin.cpp.
#include "tests/ffglqs/FloatOutputFixture.h"

#include <cmath>
#include <string>

namespace
{
using ffgltool::PluginModule;

// Every parameter under its position with its type and default; ranges in
// their own units, options with the element values 0, 1, 2, the text's own
// default and a 2048-element FFT buffer.
TEST(ProbeModuleTest, PrototypeReportsEveryParameter)
{
	PluginModule module;
	std::string error;
	ASSERT_TRUE(module.Load(QS_PARAM_PROBE_MODULE, error)) << error;
	const struct
	{
		const char* name;
		std::uint32_t type, elements;
		float defaultValue, min, max;
	} expected[] = {
		{ "amount", FF_TYPE_STANDARD, 0, 50.0f, 0.0f, 100.0f },
		{ "steps", FF_TYPE_INTEGER, 0, 3.0f, 0.0f, 10.0f },
		{ "mode", FF_TYPE_OPTION, 3, 1.0f, 0.0f, 2.0f },
		{ "label", FF_TYPE_TEXT, 0, 0.0f, 0.0f, 1.0f },
		{ "spectrum", FF_TYPE_BUFFER, 2048, 0.0f, 0.0f, 1.0f },
		{ "tint", FF_TYPE_HUE, 0, 0.0f, 0.0f, 1.0f },
		{ "tint_saturation", FF_TYPE_SATURATION, 0, 0.0f, 0.0f, 1.0f },
		{ "tint_brightness", FF_TYPE_BRIGHTNESS, 0, 1.0f, 0.0f, 1.0f },
		{ "tint_alpha", FF_TYPE_ALPHA, 0, 1.0f, 0.0f, 1.0f },
		{ "enabled", FF_TYPE_BOOLEAN, 0, 1.0f, 0.0f, 1.0f },
		{ "pulse", FF_TYPE_EVENT, 0, 0.0f, 0.0f, 1.0f },
	};
	ASSERT_EQ(module.GetNumParameters(), 11u);
	for (std::uint32_t i = 0; i < 11; ++i)
	{
		const auto& e = expected[i];
		ASSERT_NE(module.GetParameterName(i), nullptr);
		EXPECT_STREQ(module.GetParameterName(i), e.name);
		EXPECT_EQ(module.GetParameterType(i), e.type) << e.name;
		EXPECT_EQ(module.GetParameterUsage(i), i == 4 ? FF_USAGE_FFT : FF_USAGE_STANDARD) << e.name;
		if (e.elements != 0)
		{
			EXPECT_EQ(module.GetNumParameterElements(i), e.elements) << e.name;
		}
		if (e.type == FF_TYPE_TEXT)
		{
			EXPECT_STREQ(static_cast<const char*>(module.GetParameterDefault(i).PointerValue), "hello");
			continue;
		}
		EXPECT_EQ(PluginModule::FloatFromBits(module.GetParameterDefault(i).UIntValue), e.defaultValue) << e.name;
		float min = -1.0f, max = -1.0f;
		if (e.type == FF_TYPE_STANDARD || e.type == FF_TYPE_INTEGER)
		{
			EXPECT_EQ(module.GetParamRange(i, min, max), FF_SUCCESS);
			EXPECT_EQ(min, e.min);
			EXPECT_EQ(max, e.max);
		}
	}
	const char* names[] = { "Soft", "Hard", "Wild" };
	for (std::uint32_t i = 0; i < 3; ++i)
	{
		EXPECT_STREQ(module.GetParameterElementName(2, i), names[i]);
		EXPECT_EQ(PluginModule::FloatFromBits(module.GetParameterElementValue(2, i)), static_cast<float>(i));
	}
	module.DeInitialise();
}

using ProbeInstanceTest = ModuleFixture;

// The text parameter keeps its text in a new instance and takes the host's;
// the range's default reaches the instance in its own units.
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
	EXPECT_EQ(PluginModule::FloatFromBits(module.GetParameter(instance, 0).UIntValue), 50.0f);
}

// The probe draws its analyser's levels: red volume, green bass, blue mid,
// alpha high, with gain 1 and no smoothing. The bins the host fills reach it.
TEST_F(ProbeInstanceTest, FFTBufferFilledByTheHostReachesTheAnalyser)
{
	Start(QS_PARAM_PROBE_MODULE);
	const auto fill = [this](std::uint32_t first, std::uint32_t last, float value)
	{
		for (std::uint32_t bin = first; bin <= last; ++bin)
			ASSERT_EQ(module.SetParameterElementValue(instance, 4, bin, value), FF_SUCCESS);
	};
	fill(0, 681, 1.0f);
	ASSERT_EQ(Frame(), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ std::sqrt(682.0f / 2048.0f), 1.0f, 0.0f, 0.0f }));
	fill(0, 681, 0.0f);
	fill(1365, 2047, 0.5f);
	ASSERT_EQ(Frame(), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ std::sqrt(683.0f * 0.25f / 2048.0f), 0.0f, 0.0f, 0.5f }));
	EXPECT_EQ(module.SetParameterElementValue(instance, 4, 2048, 1.0f), FF_FAIL);
}

} // namespace
