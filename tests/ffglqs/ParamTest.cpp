// Quick-start parameters on an instance, without GL: registration by class and
// colour group, option selection, the host's set and get requests, the display
// text, triggers and the clock.
#include "tests/ffglqs/QuickStartProbes.h"

#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamEvent.h"
#include "ffglqs/ParamTrigger.h"
#include "host/FFGLRecords.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace
{
using ffglqs::Param;
using ffglqs::ParamOption;
using ffglqs::ParamRange;

char* const kFailText = reinterpret_cast<char*>(static_cast<std::uintptr_t>(FF_FAIL));

float FloatOf(std::uint32_t bits)
{
	float value;
	std::memcpy(&value, &bits, sizeof(value));
	return value;
}

// Each colour helper registers its components consecutively; only the first
// position of a group starts one. AddParam registers by the parameter's class,
// whichever handle type it is given: a range with its default and bounds in
// its own units, an option with its names and the element values 0, 1, ...,
// a text with its own text, an FFT buffer with its size.
TEST(ParamTest, ParametersRegisterByTheirClassAndGroup)
{
	SourceProbe plugin;
	plugin.AddHueColorParam("glow");
	plugin.AddRGBColorParam("tint");
	std::string registered; // name, type, default and H or R where a group starts
	for (unsigned int i = 0; i < plugin.GetNumParams(); ++i)
		registered += plugin.GetParamName(i) + std::string(" ") + std::to_string(plugin.GetParamType(i)) + " " +
			std::to_string(FloatOf(plugin.GetParamDefault(i).UIntValue)).substr(0, 3) +
			(plugin.IsHueColor(int(i)) ? "H" : "") + (plugin.IsRGBColor(int(i)) ? "R" : "") + ";";
	EXPECT_EQ(registered,
		"glow 200 0.0H;glow_saturation 201 0.0;glow_brightness 202 1.0;glow_alpha 203 1.0;tint 2 0.5R;tint_green 3 "
		"0.5;tint_blue 4 0.5;");
	EXPECT_FALSE(plugin.IsRGBColor(-2));

	auto range = ParamRange::Create("amount", -5.0f, { -10.0f, 10.0f });
	plugin.AddParam(std::shared_ptr<Param>(range));
	plugin.AddParam(std::shared_ptr<Param>(ParamOption::Create("mode", { { "x", 0.5f }, { "y", 7.0f } }, 1)));
	plugin.AddParam(std::shared_ptr<Param>(ffglqs::ParamText::create("label", "hi")));
	plugin.AddParam(std::shared_ptr<Param>(ffglqs::ParamFFT::Create("spectrum", 6)));
	plugin.AddParam(ParamRange::CreateInteger("steps", 7, { 1.0f, 16.0f }));
	EXPECT_EQ(FloatOf(plugin.GetParamDefault(7).UIntValue), -5.0f);
	EXPECT_EQ(plugin.GetParamRange(7).min * 100 + plugin.GetParamRange(7).max, -990.0f);
	EXPECT_EQ(plugin.GetNumParamElements(8), 2u);
	EXPECT_EQ(FloatOf(plugin.GetParamDefault(8).UIntValue), 1.0f);
	EXPECT_STREQ(plugin.GetParamElementName(8, 1), "y");
	EXPECT_EQ(FloatOf(plugin.GetParamElementDefault(8, 1)), 1.0f);
	EXPECT_STREQ(static_cast<const char*>(plugin.GetParamDefault(9).PointerValue), "hi");
	EXPECT_EQ(plugin.GetNumParamElements(10), 6u);
	EXPECT_EQ(plugin.GetParamUsage(10), FF_USAGE_FFT);
	EXPECT_EQ(plugin.GetParamType(11), FF_TYPE_INTEGER);

	// Stored as sent; only the normalised value clamps. A range of one point
	// has no width to divide by.
	EXPECT_EQ(plugin.SetFloatParameter(7, 5.0f), FF_SUCCESS);
	EXPECT_EQ(range->GetNormalizedValue(), 0.75f);
	plugin.SetFloatParameter(7, 150.0f);
	EXPECT_EQ(plugin.GetFloatParameter(7), 150.0f);
	EXPECT_EQ(range->GetNormalizedValue(), 1.0f);
	for (float value : { 3.0f, 2.0f, 4.0f })
		EXPECT_EQ(ParamRange::Create("fixed", value, { 3.0f, 3.0f })->GetNormalizedValue(), 0.0f) << value;
}

// The host sends the element values 0, 1, 2; anything else that selects no
// option falls back to the first, and NaN is never converted.
TEST(ParamTest, OptionSelectsByTruncationAndFallsBackToTheFirst)
{
	const struct
	{
		float sent, stored, realValue;
	} cases[] = { { 2.0f, 2.0f, 7.0f }, { 1.7f, 1.7f, 2.0f }, { 3.0f, 0.0f, 0.5f }, { -0.5f, -0.5f, 0.5f },
		{ -1.0f, 0.0f, 0.5f }, { std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.5f } };
	auto option = ParamOption::Create("mode", { { "Soft", 0.5f }, { "Hard", 2.0f }, { "Wild", 7.0f } }, 2);
	EXPECT_TRUE(option->IsCurrentOption("Wild"));
	for (const auto& c : cases)
	{
		option->SetValue(c.sent);
		EXPECT_EQ(std::make_pair(option->GetValue(), option->GetRealValue()), std::make_pair(c.stored, c.realValue))
			<< c.sent;
	}
	EXPECT_TRUE(option->IsCurrentOption("Soft") && !option->IsCurrentOption("Wild"));
	auto empty = ParamOption::Create("empty", {}, 3);
	empty->SetValue(1.0f);
	EXPECT_EQ(empty->GetValue(), 0.0f);
	EXPECT_TRUE(empty->IsCurrentOption(""));
}

// Requests outside the list or of the wrong kind fail and change nothing; the
// display is six decimals in a 16-byte field, filled without a terminator.
// Lookups by name find the first of that name, and of that class.
TEST(ParamTest, HostRequestsDisplayAndLookup)
{
	SourceProbe plugin;
	auto text = ffglqs::ParamText::create("label", "hello");
	auto first = Param::Create("amount", 0.25f);
	plugin.AddParam(first);
	plugin.AddParam(text);
	plugin.AddParam(ParamOption::Create("mode", { { "a", 9.0f }, { "b", 9.0f } }, 1));
	plugin.AddParam(ParamRange::Create("amount", 123456789.0f, { 0.0f, 1e9f }));
	EXPECT_STREQ(plugin.GetTextParameter(1), "hello");
	EXPECT_EQ(plugin.SetTextParameter(1, nullptr), FF_SUCCESS);
	EXPECT_EQ(text->GetText(), "");
	EXPECT_EQ(plugin.SetTextParameter(0, "x"), FF_FAIL);
	EXPECT_EQ(plugin.SetTextParameter(4, "x"), FF_FAIL);
	EXPECT_EQ(plugin.GetTextParameter(0), kFailText);
	EXPECT_EQ(plugin.GetTextParameter(4), kFailText);
	EXPECT_EQ(plugin.SetFloatParameter(4, 0.5f), FF_FAIL);
	EXPECT_EQ(plugin.GetFloatParameter(4), 0.0f);

	EXPECT_EQ(std::string(plugin.GetParameterDisplay(0), 16), std::string("0.250000\0\0\0\0\0\0\0\0", 16));
	EXPECT_STREQ(plugin.GetParameterDisplay(2), "1.000000"); // the option's number, not its name
	EXPECT_EQ(std::string(plugin.GetParameterDisplay(3), 16), "123456792.000000");
	EXPECT_EQ(plugin.GetParameterDisplay(1), kFailText);
	EXPECT_EQ(plugin.GetParameterDisplay(4), kFailText);

	EXPECT_EQ(plugin.GetParam("amount"), first);
	EXPECT_EQ(plugin.GetParam("missing"), nullptr);
	EXPECT_NE(plugin.GetParamOption("mode"), nullptr);
	EXPECT_EQ(plugin.GetParamOption("label"), nullptr);
	EXPECT_EQ(plugin.GetParamText("label"), text);
	EXPECT_EQ(plugin.GetParamText("mode"), nullptr);
}

// An FFT parameter learns its index and gets an analyser that takes the
// sample rate and, each frame, the bins the host filled. Triggers are consumed
// at the end of a frame, events and booleans are not; time and delta time come
// from the clock readings passed in.
TEST(ParamTest, FFTTriggersAndTime)
{
	SourceProbe plugin;
	auto trigger = ffglqs::ParamTrigger::Create("fire");
	auto event = ffglqs::ParamEvent::Create("hit");
	auto flag = ffglqs::ParamBool::Create("on");
	auto fft = ffglqs::ParamFFT::Create("spectrum");
	plugin.AddParam(trigger);
	plugin.AddParam(event);
	plugin.AddParam(flag);
	plugin.AddParam(fft);
	EXPECT_EQ(fft->GetIndex(), 3u);
	EXPECT_EQ(fft->GetFFTData().size(), ffglqs::DEFAULT_BUFFER_SIZE);
	ASSERT_NE(plugin.GetAudio(fft), nullptr);
	EXPECT_EQ(plugin.GetAudio(ffglqs::ParamFFT::Create("other")), nullptr);
	plugin.GetAudio(fft)->SetGain(0.0f);
	EXPECT_EQ(plugin.SetParamElementValue(3, 2047, 4.0f), FF_SUCCESS);
	EXPECT_EQ(plugin.SetParamElementValue(3, 2048, 1.0f), FF_FAIL);
	for (unsigned int i = 0; i < 3; ++i)
		plugin.SetFloatParameter(i, 1.0f);
	plugin.consumeAllTrigger();
	EXPECT_EQ(trigger->GetValue() * 100 + event->GetValue() * 10 + flag->GetValue(), 11.0f);

	plugin.UpdateAudioAndTime(plugin.start + std::chrono::milliseconds(1500));
	plugin.SetSampleRate(48000);
	EXPECT_EQ(plugin.GetAudio(fft)->GetBinWidth(), 11.71875f);
	EXPECT_EQ(fft->GetFFTData()[2047], 4.0f) << "the bins the host filled";
	EXPECT_GT(plugin.GetAudio(fft)->GetHigh(), 0.0f);
	EXPECT_EQ(plugin.frame, 1);
	EXPECT_FLOAT_EQ(plugin.time, 1.5f);
	EXPECT_EQ(plugin.deltaTime, plugin.time);
	plugin.UpdateAudioAndTime(plugin.start + std::chrono::milliseconds(2000));
	EXPECT_EQ(plugin.frame, 2);
	EXPECT_FLOAT_EQ(plugin.deltaTime, 0.5f);
}
} // namespace
