// Quick-start parameters of an instance as a host reaches them through
// plugMain. The module is the probe source of ParamProbePlugin.cpp.
#include "tests/ffglqs/ModuleFixture.h"

#include <cmath>
#include <string>

namespace
{
using ProbeInstanceTest = ModuleFixture;

// The text parameter keeps its text in a new instance and takes the host's;
// the range's default reaches the instance in its own units.
TEST_F(ProbeInstanceTest, TextParameterKeepsItsTextInANewInstance)
{
	Start(QS_PARAM_PROBE_MODULE);
	const auto text = [this]()
	{
		const char* value = static_cast<const char*>(module.GetParameter(instance, 2).PointerValue);
		return value != nullptr ? std::string(value) : std::string("<null>");
	};
	EXPECT_EQ(text(), "hello");
	EXPECT_EQ(module.SetTextParameter(instance, 2, "changed"), FF_SUCCESS);
	EXPECT_EQ(text(), "changed");
	EXPECT_EQ(module.SetTextParameter(instance, 2, nullptr), FF_SUCCESS);
	EXPECT_EQ(text(), "");
	EXPECT_EQ(ffgltool::PluginModule::FloatFromBits(module.GetParameter(instance, 0).UIntValue), 50.0f);
}

// The probe draws its analyser's levels (red volume, green bass, blue mid,
// alpha high) with gain 1 and no smoothing. The bins the host fills reach it.
TEST_F(ProbeInstanceTest, FFTBufferFilledByTheHostReachesTheAnalyser)
{
	Start(QS_PARAM_PROBE_MODULE);
	const auto fill = [this](std::uint32_t first, std::uint32_t last, float value)
	{
		for (std::uint32_t bin = first; bin <= last; ++bin)
			ASSERT_EQ(module.SetParameterElementValue(instance, 1, bin, value), FF_SUCCESS);
	};
	fill(0, 681, 1.0f);
	ASSERT_EQ(Frame(), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ std::sqrt(682.0f / 2048.0f), 1.0f, 0.0f, 0.0f }));
	fill(0, 681, 0.0f);
	fill(1365, 2047, 0.5f);
	ASSERT_EQ(Frame(), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ std::sqrt(683.0f * 0.25f / 2048.0f), 0.0f, 0.0f, 0.5f }));
	EXPECT_EQ(module.SetParameterElementValue(instance, 1, 2048, 1.0f), FF_FAIL);
}
} // namespace
