#include "tests/ffglqs/QuickStartProbes.h"

#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamEvent.h"
#include "ffglqs/ParamTrigger.h"
#include "host/FFGLRecords.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace
{
using ffglqs::Param;
using ffglqs::ParamOption;
using ffglqs::ParamRange;

char* FailText()
{
	return reinterpret_cast<char*>(static_cast<std::uintptr_t>(FF_FAIL));
}

float DefaultOf(const CFFGLPluginManager& registry, unsigned int index)
{
	const std::uint32_t bits = registry.GetParamDefault(index).UIntValue;
	float value;
	std::memcpy(&value, &bits, sizeof(value));
	return value;
}

TEST(ParamTest, HueColourHelperRegistersFourConsecutiveComponents)
{
	SourceProbe plugin;
	plugin.AddParam(Param::Create("before"));
	plugin.AddHueColorParam("tint");

	struct Expected
	{
		const char* name;
		unsigned int type;
		float value;
	};
	const Expected expected[] = {
		{ "tint", FF_TYPE_HUE, 0.0f },
		{ "tint_saturation", FF_TYPE_SATURATION, 0.0f },
		{ "tint_brightness", FF_TYPE_BRIGHTNESS, 1.0f },
		{ "tint_alpha", FF_TYPE_ALPHA, 1.0f },
	};
	for(unsigned int i = 0; i < 4; ++i)
	{
		EXPECT_EQ(plugin.GetParamName(i + 1), std::string(expected[i].name));
		EXPECT_EQ(plugin.GetParamType(i + 1), expected[i].type);
		EXPECT_EQ(DefaultOf(plugin, i + 1), expected[i].value);
		EXPECT_EQ(plugin.GetFloatParameter(i + 1), expected[i].value);
	}
	EXPECT_FALSE(plugin.IsHueColor(0));
	EXPECT_TRUE(plugin.IsHueColor(1));
	EXPECT_FALSE(plugin.IsHueColor(2));
	EXPECT_FALSE(plugin.IsHueColor(-1));
	EXPECT_FALSE(plugin.IsRGBColor(1));
}

TEST(ParamTest, RGBColourHelperRegistersThreeComponentsAtOneHalf)
{
	SourceProbe plugin;
	plugin.AddRGBColorParam("tint");
	EXPECT_EQ(plugin.GetNumParams(), 3u);
	const unsigned int types[] = { FF_TYPE_RED, FF_TYPE_GREEN, FF_TYPE_BLUE };
	const char* names[] = { "tint", "tint_green", "tint_blue" };
	for(unsigned int i = 0; i < 3; ++i)
	{
		EXPECT_EQ(plugin.GetParamType(i), types[i]);
		EXPECT_EQ(plugin.GetParamName(i), std::string(names[i]));
		EXPECT_EQ(DefaultOf(plugin, i), 0.5f);
	}
	EXPECT_TRUE(plugin.IsRGBColor(0));
	EXPECT_FALSE(plugin.IsRGBColor(1));
	// A group that would run past the end of the list.
	SourceProbe partial;
	partial.AddParam(Param::Create("r", FF_TYPE_RED, 0.5f));
	partial.AddParam(Param::Create("g", FF_TYPE_GREEN, 0.5f));
	EXPECT_FALSE(partial.IsRGBColor(0));
	EXPECT_FALSE(partial.IsRGBColor(-2));
}

TEST(ParamTest, RangeReportsItsOwnUnitsAndStoresValuesAsSent)
{
	SourceProbe plugin;
	auto range = ParamRange::Create("amount", 50.0f, { 0.0f, 100.0f });
	plugin.AddParam(range);
	EXPECT_EQ(plugin.GetParamType(0), FF_TYPE_STANDARD);
	EXPECT_EQ(DefaultOf(plugin, 0), 50.0f);
	EXPECT_EQ(plugin.GetParamRange(0).min, 0.0f);
	EXPECT_EQ(plugin.GetParamRange(0).max, 100.0f);

	EXPECT_EQ(plugin.SetFloatParameter(0, 25.0f), FF_SUCCESS);
	EXPECT_EQ(plugin.GetFloatParameter(0), 25.0f);
	EXPECT_EQ(range->GetNormalizedValue(), 0.25f);
	// Outside the range: stored unchanged, only the normalised value clamps.
	plugin.SetFloatParameter(0, 150.0f);
	EXPECT_EQ(plugin.GetFloatParameter(0), 150.0f);
	EXPECT_EQ(range->GetNormalizedValue(), 1.0f);

	auto steps = ParamRange::CreateInteger("steps", 7, { 1.0f, 16.0f });
	plugin.AddParam(steps);
	EXPECT_EQ(plugin.GetParamType(1), FF_TYPE_INTEGER);
	EXPECT_EQ(DefaultOf(plugin, 1), 7.0f);
	EXPECT_EQ(plugin.GetParamRange(1).max, 16.0f);
}

TEST(ParamTest, ParametersRegisterByTheirClassWhateverHandleTheyCameIn)
{
	SourceProbe plugin;
	std::shared_ptr<Param> range = ParamRange::Create("amount", -5.0f, { -10.0f, 10.0f });
	std::shared_ptr<Param> option = ParamOption::Create("mode", { { "x", 0.0f }, { "y", 0.0f } }, 1);
	std::shared_ptr<Param> text = ffglqs::ParamText::create("label", "hi");
	plugin.AddParam(range);
	plugin.AddParam(option);
	plugin.AddParam(text);
	EXPECT_EQ(DefaultOf(plugin, 0), -5.0f);
	EXPECT_EQ(plugin.GetParamRange(0).min, -10.0f);
	EXPECT_EQ(plugin.GetNumParamElements(1), 2u);
	EXPECT_EQ(DefaultOf(plugin, 1), 1.0f);
	EXPECT_STREQ(static_cast<const char*>(plugin.GetParamDefault(2).PointerValue), "hi");
}

TEST(ParamTest, OptionRegistersChoicesByNameWithElementValuesInOrder)
{
	SourceProbe plugin;
	plugin.AddParam(ParamOption::Create("mode", { { "Soft", 0.5f }, { "Hard", 2.0f }, { "Wild", 7.0f } }, 2));
	EXPECT_EQ(plugin.GetParamType(0), FF_TYPE_OPTION);
	ASSERT_EQ(plugin.GetNumParamElements(0), 3u);
	const char* names[] = { "Soft", "Hard", "Wild" };
	for(unsigned int i = 0; i < 3; ++i)
	{
		EXPECT_EQ(plugin.GetParamElementName(0, i), std::string(names[i]));
		float value;
		const std::uint32_t bits = plugin.GetParamElementDefault(0, i);
		std::memcpy(&value, &bits, sizeof(value));
		EXPECT_EQ(value, static_cast<float>(i));
	}
	EXPECT_EQ(DefaultOf(plugin, 0), 2.0f);
}

struct OptionCase
{
	float sent;
	float stored;
	const char* current;
	float realValue;
};

class ParamOptionSetValueTest : public ::testing::TestWithParam<OptionCase>
{
};

TEST_P(ParamOptionSetValueTest, SelectsByTruncationAndFallsBackToTheFirst)
{
	const OptionCase& c = GetParam();
	auto option = ParamOption::Create("mode", { { "Soft", 0.5f }, { "Hard", 2.0f }, { "Wild", 7.0f } }, 2);
	option->SetValue(c.sent);
	EXPECT_EQ(option->GetValue(), c.stored);
	EXPECT_TRUE(option->IsCurrentOption(c.current));
	EXPECT_EQ(option->GetRealValue(), c.realValue);
}

INSTANTIATE_TEST_SUITE_P(Values, ParamOptionSetValueTest,
	::testing::Values(
		OptionCase{ 0.0f, 0.0f, "Soft", 0.5f },
		OptionCase{ 2.0f, 2.0f, "Wild", 7.0f },
		OptionCase{ 1.7f, 1.7f, "Hard", 2.0f },
		OptionCase{ 5.0f, 0.0f, "Soft", 0.5f },
		OptionCase{ 3.0f, 0.0f, "Soft", 0.5f },
		OptionCase{ -0.5f, -0.5f, "Soft", 0.5f },
		OptionCase{ -1.0f, 0.0f, "Soft", 0.5f },
		OptionCase{ -7.0f, 0.0f, "Soft", 0.5f },
		OptionCase{ std::numeric_limits<float>::quiet_NaN(), 0.0f, "Soft", 0.5f },
		OptionCase{ std::numeric_limits<float>::infinity(), 0.0f, "Soft", 0.5f },
		OptionCase{ 1e30f, 0.0f, "Soft", 0.5f }));

TEST(ParamTest, OptionWithoutChoicesSelectsNothing)
{
	auto option = ParamOption::Create("empty", {}, 3);
	const float values[] = { 0.0f, 1.0f, -2.0f, std::numeric_limits<float>::quiet_NaN() };
	for(float v : values)
	{
		option->SetValue(v);
		EXPECT_EQ(option->GetValue(), 0.0f);
		EXPECT_TRUE(option->IsCurrentOption(""));
		EXPECT_EQ(option->GetRealValue(), 0.0f);
	}
	SourceProbe plugin;
	plugin.AddParam(option);
	EXPECT_EQ(plugin.GetNumParamElements(0), 0u);
}

TEST(ParamTest, TextParameterRegistersItsOwnTextAsDefault)
{
	SourceProbe plugin;
	auto text = ffglqs::ParamText::create("label", "hello");
	plugin.AddParam(Param::Create("amount", 0.5f));
	plugin.AddParam(text);
	EXPECT_EQ(plugin.GetParamType(1), FF_TYPE_TEXT);
	EXPECT_STREQ(static_cast<const char*>(plugin.GetParamDefault(1).PointerValue), "hello");
	EXPECT_STREQ(plugin.GetTextParameter(1), "hello");

	// The host pushes the registered default into a new instance.
	EXPECT_EQ(plugin.SetTextParameter(1, static_cast<const char*>(plugin.GetParamDefault(1).PointerValue)), FF_SUCCESS);
	EXPECT_EQ(text->GetText(), "hello");

	EXPECT_EQ(plugin.SetTextParameter(1, "other"), FF_SUCCESS);
	EXPECT_EQ(plugin.GetParamText("label")->GetText(), "other");
	EXPECT_EQ(plugin.SetTextParameter(1, nullptr), FF_SUCCESS);
	EXPECT_EQ(text->GetText(), "");

	// Text requests on a float parameter or past the end fail and change
	// nothing.
	EXPECT_EQ(plugin.SetTextParameter(0, "x"), FF_FAIL);
	EXPECT_EQ(plugin.GetFloatParameter(0), 0.5f);
	EXPECT_EQ(plugin.SetTextParameter(2, "x"), FF_FAIL);
	EXPECT_EQ(plugin.GetTextParameter(0), FailText());
	EXPECT_EQ(plugin.GetTextParameter(2), FailText());
}

TEST(ParamTest, FloatRequestsOutsideTheListFail)
{
	SourceProbe plugin;
	plugin.AddParam(Param::Create("amount", 0.5f));
	EXPECT_EQ(plugin.SetFloatParameter(1, 0.25f), FF_FAIL);
	EXPECT_EQ(plugin.GetFloatParameter(1), 0.0f);
	EXPECT_EQ(plugin.GetFloatParameter(0), 0.5f);
}

TEST(ParamTest, DisplayIsSixDecimalsInASixteenByteField)
{
	SourceProbe plugin;
	plugin.AddParam(Param::Create("amount", 0.25f));
	plugin.AddParam(ffglqs::ParamText::create("label", "x"));
	plugin.AddParam(ParamOption::Create("mode", { { "a", 9.0f }, { "b", 9.0f } }, 1));
	plugin.AddParam(ParamRange::Create("big", 123456789.0f, { 0.0f, 1e9f }));

	const char* display = plugin.GetParameterDisplay(0);
	ASSERT_NE(display, nullptr);
	EXPECT_EQ(std::string(display, 16), std::string("0.250000\0\0\0\0\0\0\0\0", 16));
	// Options show their number, not their name.
	EXPECT_EQ(std::string(plugin.GetParameterDisplay(2)), "1.000000");
	// 16 characters and more fill the field without a terminator.
	EXPECT_EQ(std::string(plugin.GetParameterDisplay(3), 16), "123456792.000000");
	EXPECT_EQ(plugin.GetParameterDisplay(1), FailText());
	EXPECT_EQ(plugin.GetParameterDisplay(4), FailText());
}

TEST(ParamTest, LookupByNameAndClass)
{
	SourceProbe plugin;
	auto first = Param::Create("same");
	plugin.AddParam(first);
	plugin.AddParam(Param::Create("same"));
	plugin.AddParam(ParamOption::Create("mode", { { "a", 0.0f } }));
	plugin.AddParam(ffglqs::ParamText::create("label"));
	EXPECT_EQ(plugin.GetParam("same"), first);
	EXPECT_EQ(plugin.GetParam("missing"), nullptr);
	EXPECT_NE(plugin.GetParamOption("mode"), nullptr);
	EXPECT_EQ(plugin.GetParamOption("label"), nullptr);
	EXPECT_NE(plugin.GetParamText("label"), nullptr);
	EXPECT_EQ(plugin.GetParamText("same"), nullptr);
	EXPECT_EQ(plugin.GetParamText("Label"), nullptr);
}

TEST(ParamTest, FFTParameterIsABufferOfOneElementPerBinWithFFTUsage)
{
	SourceProbe plugin;
	plugin.AddParam(Param::Create("amount"));
	auto fft = ffglqs::ParamFFT::Create("spectrum");
	plugin.AddParam(fft);
	EXPECT_EQ(fft->GetIndex(), 1u);
	EXPECT_EQ(plugin.GetParamType(1), FF_TYPE_BUFFER);
	EXPECT_EQ(plugin.GetParamUsage(1), FF_USAGE_FFT);
	EXPECT_EQ(plugin.GetNumParamElements(1), 2048u);
	ASSERT_NE(plugin.GetAudio(fft), nullptr);
	EXPECT_EQ(plugin.GetAudio(ffglqs::ParamFFT::Create("other")), nullptr);
}

TEST(ParamTest, TriggersAreConsumedAndNothingElse)
{
	SourceProbe plugin;
	auto trigger = ffglqs::ParamTrigger::Create("fire");
	auto event = ffglqs::ParamEvent::Create("hit");
	auto flag = ffglqs::ParamBool::Create("on");
	plugin.AddParam(trigger);
	plugin.AddParam(event);
	plugin.AddParam(flag);
	for(unsigned int i = 0; i < 3; ++i)
		plugin.SetFloatParameter(i, 1.0f);
	plugin.consumeAllTrigger();
	EXPECT_EQ(trigger->GetValue(), 0.0f);
	EXPECT_EQ(event->GetValue(), 1.0f);
	EXPECT_EQ(flag->GetValue(), 1.0f);
}

TEST(PluginClockTest, TimeAdvancesFromClockReadings)
{
	SourceProbe plugin;
	plugin.UpdateAudioAndTime(plugin.start + std::chrono::milliseconds(1500));
	EXPECT_EQ(plugin.frame, 1);
	EXPECT_FLOAT_EQ(plugin.time, 1.5f);
	EXPECT_EQ(plugin.deltaTime, plugin.time);

	plugin.UpdateAudioAndTime(plugin.start + std::chrono::milliseconds(2000));
	EXPECT_EQ(plugin.frame, 2);
	EXPECT_FLOAT_EQ(plugin.time, 2.0f);
	EXPECT_FLOAT_EQ(plugin.deltaTime, 0.5f);
}

TEST(PluginClockTest, HostBufferReachesTheAnalyserEveryFrame)
{
	SourceProbe plugin;
	auto fft = ffglqs::ParamFFT::Create("spectrum", 6);
	plugin.AddParam(fft);
	ffglqs::Audio& audio = *plugin.GetAudio(fft);
	audio.SetGain(0.0f);
	audio.SetSmoothness(0.0f);

	// As code 37 does: element values into the registry.
	for(unsigned int i = 0; i < 6; ++i)
		EXPECT_EQ(plugin.SetParamElementValue(0, i, i == 3 ? 2.0f : 0.0f), FF_SUCCESS);
	plugin.UpdateAudioAndTime(plugin.start + std::chrono::milliseconds(10));
	EXPECT_EQ(fft->GetFFTData()[3], 2.0f);
	EXPECT_NEAR(audio.GetMed(), 2.0f, 1e-6f);
	EXPECT_EQ(audio.GetBass(), 0.0f);

	plugin.SetSampleRate(48000);
	EXPECT_EQ(plugin.sampleRate, 48000u);
	EXPECT_EQ(audio.GetSampleRate(), 48000);
	EXPECT_EQ(audio.GetBinWidth(), 4000.0f);
}

}// namespace
