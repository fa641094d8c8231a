// Text and FFT parameters of a quick-start instance, through plugMain.
#include "tests/ffglqs/ModuleFixture.h"

#include <cmath>
#include <cstring>
#include <string>

namespace
{
using ProbeInstanceTest = ModuleFixture;

TEST_F(ProbeInstanceTest, TextParameterKeepsItsTextInANewInstance)
{
	Start(QS_PARAM_PROBE_MODULE);
	const auto text = [this]() {
		const char* value = static_cast<const char*>(module->Call(FF_GET_PARAMETER, FFMixed{ 3 }, instance).PointerValue);
		return value != nullptr ? std::string(value) : std::string("<null>");
	};
	EXPECT_EQ(text(), "hello");
	EXPECT_EQ(module->SetText(instance, 3, "changed"), FF_SUCCESS);
	EXPECT_EQ(text(), "changed");
	EXPECT_EQ(module->SetText(instance, 3, nullptr), FF_SUCCESS);
	EXPECT_EQ(text(), "");
	// Other parameters kept their defaults too.
	EXPECT_EQ(module->GetFloat(instance, 0), 50.0f);
	EXPECT_EQ(module->GetFloat(instance, 2), 1.0f);
	EXPECT_EQ(module->GetFloat(instance, 9), 1.0f);
}

TEST_F(ProbeInstanceTest, FFTBufferFilledByTheHostReachesTheAnalyser)
{
	Start(QS_PARAM_PROBE_MODULE);
	const auto fill = [this](std::uint32_t first, std::uint32_t last, float value) {
		for(std::uint32_t bin = first; bin <= last; ++bin)
		{
			SetParameterElementValueStructTag record = {};
			record.ParameterNumber = 4;
			record.ElementNumber = bin;
			std::memcpy(&record.NewParameterValue.UIntValue, &value, sizeof(value));
			ASSERT_EQ(module->CallRecord(FF_SET_PARAMETER_ELEMENT_VALUE, &record, instance).UIntValue, FF_SUCCESS);
		}
	};

	// Bass bins only: 682 of 2048.
	fill(0, 681, 1.0f);
	ASSERT_EQ(module->ProcessFrame(instance, {}), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ std::sqrt(682.0f / 2048.0f), 1.0f, 0.0f, 0.0f }));

	// Then the high bins at 0.5 and the bass cleared; the two bins between
	// the bands at 2 count toward the volume alone.
	fill(0, 681, 0.0f);
	fill(1365, 2047, 0.5f);
	fill(682, 682, 2.0f);
	fill(1364, 1364, 2.0f);
	ASSERT_EQ(module->ProcessFrame(instance, {}), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ std::sqrt((683.0f * 0.25f + 8.0f) / 2048.0f), 0.0f, 0.0f, 0.5f }));

	SetParameterElementValueStructTag outside = {};
	outside.ParameterNumber = 4;
	outside.ElementNumber = 2048;
	EXPECT_EQ(module->CallRecord(FF_SET_PARAMETER_ELEMENT_VALUE, &outside, instance).UIntValue, FF_FAIL);
}

}// namespace
