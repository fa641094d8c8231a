// Quick-start parameters of an instance as a host reaches them through
// plugMain. The module is the probe source of ParamProbePlugin.cpp.
#include "tests/ffglqs/ModuleFixture.h"

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
		const char* value = static_cast<const char*>(module.GetParameter(instance, 1).PointerValue);
		return value != nullptr ? std::string(value) : std::string("<null>");
	};
	EXPECT_EQ(text(), "hello");
	EXPECT_EQ(module.SetTextParameter(instance, 1, "changed"), FF_SUCCESS);
	EXPECT_EQ(text(), "changed");
	EXPECT_EQ(ffgltool::PluginModule::FloatFromBits(module.GetParameter(instance, 0).UIntValue), 50.0f);
}
} // namespace
