// The parameter registry: the rules a host relies on when it asks about
// parameters by index.
#include "core/FFGLPluginManager.h"
#include "host/FFGLMixed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using FFGLMixed::AllBits;
using FFGLMixed::FloatBits;

namespace
{
class Registry : public CFFGLPluginManager
{
public:
	Registry() : CFFGLPluginManager(false) {}
	std::uint64_t Flags(unsigned int index) { return FindParamInfo(index)->pendingEventFlags; }
	using CFFGLPluginManager::params;
};

const char* Text(FFMixed mixed)
{
	return static_cast<const char*>(mixed.PointerValue);
}

TEST(RegistryTest, RegistrationFormsAndTheirRecords)
{
	Registry registry;
	EXPECT_EQ(registry.GetMinInputs() + registry.GetMaxInputs() + registry.GetTextureOrientation(), 0u);
	EXPECT_TRUE(registry.IsTimeSupported());
	registry.HostEnabledTopLeftTextures();
	EXPECT_EQ(registry.GetTextureOrientation(), 1u);

	registry.SetParamInfo(0, "float", FF_TYPE_STANDARD, 0.5f);
	registry.SetParamInfo(1, "bool", FF_TYPE_BOOLEAN, true);
	registry.SetParamInfo(2, "text", FF_TYPE_TEXT, "hello");
	registry.SetBufferParamInfo(3, "fft", 4, FF_USAGE_FFT);
	registry.SetOptionParamInfo(4, "option", 3, 7.0f);
	registry.SetFileParamInfo(5, "file", { "png", "jpg" }, "a.png");
	registry.SetParamInfo(6, "off", FF_TYPE_BOOLEAN, false);
	// Only the 0..1 slider's default is clamped, and a NaN stays as it is.
	registry.SetParamInfo(7, "high", FF_TYPE_STANDARD, 1.7f);
	registry.SetParamInfo(8, "low", FF_TYPE_STANDARD, -0.2f);
	registry.SetParamInfo(9, "nan", FF_TYPE_STANDARD, NAN);
	registry.SetParamInfo(10, "integer", FF_TYPE_INTEGER, 1.7f);
	const struct
	{
		unsigned int type, elements, usage;
		std::uint64_t defaultBits; // all eight bytes; 0 for the text forms
	} expected[] = {
		{ FF_TYPE_STANDARD, 1, 0, 0x3F000000u },
		{ FF_TYPE_BOOLEAN, 0, 0, FloatBits(1.0f) },
		{ FF_TYPE_TEXT, 1, 0, 0 },
		{ FF_TYPE_BUFFER, 4, FF_USAGE_FFT, 0 },
		{ FF_TYPE_OPTION, 3, 0, FloatBits(7.0f) },
		{ FF_TYPE_FILE, 0, 0, 0 },
		{ FF_TYPE_BOOLEAN, 0, 0, 0 },
		{ FF_TYPE_STANDARD, 1, 0, FloatBits(1.0f) },
		{ FF_TYPE_STANDARD, 1, 0, FloatBits(0.0f) },
		{ FF_TYPE_STANDARD, 1, 0, FloatBits(NAN) },
		{ FF_TYPE_INTEGER, 1, 0, FloatBits(1.7f) },
	};
	for (unsigned int i = 0; i < std::size(expected); ++i)
	{
		EXPECT_EQ(registry.GetParamType(i), expected[i].type) << i;
		EXPECT_EQ(registry.GetNumParamElements(i), expected[i].elements) << i;
		EXPECT_EQ(registry.GetParamUsage(i), expected[i].usage) << i;
		EXPECT_EQ(registry.GetParamVisibility(i), 1u) << i;
		const bool text = IsTextLikeParamType(expected[i].type);
		EXPECT_EQ(text ? 0u : AllBits(registry.GetParamDefault(i)), expected[i].defaultBits) << i;
	}
	EXPECT_STREQ(Text(registry.GetParamDefault(2)), "hello");
	EXPECT_STREQ(Text(registry.GetParamDefault(5)), "a.png");
	EXPECT_EQ(registry.GetNumFileParamExtensions(5), 2u);
	EXPECT_STREQ(registry.GetFileParamExtension(5, 1), "jpg");
	EXPECT_EQ(registry.GetFileParamExtension(5, 2), nullptr);
}

TEST(RegistryTest, NullTextsAreTakenAsEmpty)
{
	Registry registry;
	registry.SetParamInfo(0, nullptr, FF_TYPE_TEXT, static_cast<const char*>(nullptr));
	registry.SetFileParamInfo(1, nullptr, {}, nullptr);
	registry.SetOptionParamInfo(2, nullptr, 1, 0.0f);
	registry.SetParamElementInfo(2, 0, nullptr, 2.0f);
	registry.SetParamDisplayName(0, static_cast<const char*>(nullptr), true);
	registry.SetParamGroup(0, static_cast<const char*>(nullptr));
	EXPECT_STREQ(registry.GetParamName(0), "");
	EXPECT_STREQ(Text(registry.GetParamDefault(0)), "");
	EXPECT_STREQ(Text(registry.GetParamDefault(1)), "");
	EXPECT_STREQ(registry.GetParamElementName(2, 0), "");
	EXPECT_EQ(registry.GetParamElementDefault(2, 0), FloatBits(2.0f));
	EXPECT_EQ(registry.GetParamGroup(0) + registry.GetParamDisplayName(0), "");
	EXPECT_EQ(registry.GetNumPendingParamEvents(), 0u) << "empty to empty is no change";
}

TEST(RegistryTest, FirstRecordWinsAndUnknownIndexesGetFixedAnswers)
{
	Registry registry;
	registry.SetParamInfo(3, "first", FF_TYPE_STANDARD, 0.25f);
	registry.SetParamInfo(3, "second", FF_TYPE_TEXT, "x");
	registry.SetParamRange(3, -1.0f, 2.0f);
	EXPECT_EQ(registry.GetNumParams(), 2u);
	EXPECT_STREQ(registry.GetParamName(3), "first");
	EXPECT_EQ(registry.GetParamRange(3).max, 2.0f);
	EXPECT_EQ(registry.params[1].range.min, 0.0f) << "a change reached the second record";

	const unsigned int unknown = 9;
	EXPECT_TRUE(registry.GetParamName(unknown) == nullptr && registry.GetParamElementName(unknown, 0) == nullptr &&
		registry.GetFileParamExtension(unknown, 0) == nullptr);
	EXPECT_EQ(AllBits(registry.GetParamDefault(unknown)), FF_FAIL);
	const unsigned int answers[][2] = {
		{ registry.GetParamType(unknown), FF_FAIL },
		{ registry.GetParamUsage(unknown), FF_FAIL },
		{ registry.GetParamVisibility(unknown), FF_FAIL },
		{ registry.GetNumParamElements(unknown), FF_FAIL },
		{ registry.GetParamElementDefault(unknown, 0), FF_FAIL },
		{ registry.GetNumElementSeparators(unknown), 0 },
		{ registry.GetElementSeparatorElementIndex(unknown, 0), FF_FAIL },
		{ registry.GetNumFileParamExtensions(unknown), 0 },
		{ registry.SetParamElementValue(unknown, 0, 1.0f), FF_FAIL },
	};
	for (std::size_t i = 0; i < std::size(answers); ++i)
		EXPECT_EQ(answers[i][0], answers[i][1]) << "answer " << i;
	EXPECT_EQ(registry.GetParamRange(unknown).min + registry.GetParamRange(unknown).max * 2, 2.0f) << "0..1";
	registry.SetParamVisibility(unknown, false, true);
	registry.RaiseParamEvent(unknown, 4);
	EXPECT_EQ(registry.GetNumPendingParamEvents(), 0u);
}

TEST(RegistryTest, ElementsAndSeparators)
{
	Registry registry;
	registry.SetOptionParamInfo(0, "mode", 2, 0.0f);
	registry.SetParamInfo(1, "slider", FF_TYPE_STANDARD, 0.0f);
	registry.SetParamElementInfo(0, 1, "b", 1.0f);
	registry.SetParamElementInfo(0, 2, "out of range", 9.0f);
	EXPECT_STREQ(registry.GetParamElementName(0, 1), "b");
	EXPECT_EQ(registry.GetParamElementName(0, 2), nullptr);
	EXPECT_EQ(registry.GetParamElementDefault(0, 2), FF_FAIL);

	// Only option parameters with as many values as names take new elements.
	registry.SetParamElements(1, { "x" }, { 1.0f }, true);
	registry.SetParamElements(0, { "x", "y", "z" }, { 1.0f, 2.0f }, true);
	EXPECT_EQ(registry.GetNumParamElements(1) + registry.GetNumParamElements(0), 3u);
	registry.SetParamElements(0, { "x", "y", "z" }, { 1.0f, 2.0f, 3.0f }, false);
	EXPECT_STREQ(registry.GetParamElementName(0, 2), "z");
	EXPECT_EQ(registry.GetParamElementDefault(0, 2), FloatBits(3.0f));
	EXPECT_EQ(registry.GetNumPendingParamEvents(), 0u);
	registry.SetParamElements(0, {}, {}, true);
	EXPECT_EQ(registry.GetNumParamElements(0), 0u);
	EXPECT_EQ(registry.Flags(0), FF_EVENT_FLAG_ELEMENTS);

	registry.AddElementSeparator(0, 7);
	EXPECT_EQ(registry.GetNumElementSeparators(0), 1u);
	EXPECT_EQ(registry.GetElementSeparatorElementIndex(0, 0), 7u);
	EXPECT_EQ(registry.GetElementSeparatorElementIndex(0, 1), FF_FAIL);
	EXPECT_EQ(registry.SetParamElementValue(1, 0, 0.75f), FF_SUCCESS);
	EXPECT_EQ(registry.GetParamElementDefault(1, 0), FloatBits(0.75f));
	EXPECT_EQ(registry.SetParamElementValue(1, 1, 0.75f), FF_FAIL);
}

// Events are raised only on change; flags of one record accumulate into one
// event; consuming stops at the host's capacity.
TEST(RegistryTest, EventsAreRaisedOnChangeAndConsumedUpToCapacity)
{
	Registry registry;
	for (unsigned int i = 0; i < 4; ++i)
		registry.SetParamInfo(10 + i, "p", FF_TYPE_STANDARD, 0.0f);
	registry.SetParamVisibility(10, false, true);
	EXPECT_EQ(registry.Flags(10), FF_EVENT_FLAG_VISIBILITY);
	registry.params[0].pendingEventFlags = 0;
	registry.SetParamVisibility(10, false, true);
	registry.SetParamVisibility(10, true, false);
	registry.SetParamDisplayName(10, "Name", false);
	registry.SetParamDisplayName(10, std::string("Name"), true);
	EXPECT_EQ(registry.Flags(10), 0u);
	EXPECT_EQ(registry.GetParamVisibility(10), 1u);
	registry.SetParamDisplayName(10, "Nam", true);
	EXPECT_EQ(registry.GetParamDisplayName(10), "Nam");
	registry.RaiseParamEvent(10, 0x40);
	EXPECT_EQ(registry.Flags(10), 0x40u | FF_EVENT_FLAG_DISPLAY_NAME);
	registry.RaiseParamEvent(12, 2);
	registry.RaiseParamEvent(13, 8);

	ParamEventStructTag events[3] = {};
	EXPECT_EQ(registry.ConsumeParamEvents(events, 0), 0u);
	EXPECT_EQ(registry.ConsumeParamEvents(nullptr, 3), 0u) << "no array to write into";
	EXPECT_EQ(registry.ConsumeParamEvents(events, 2), 2u);
	EXPECT_EQ(events[1].ParameterNumber, 12u);
	EXPECT_EQ(events[1].eventFlags, 2u);
	EXPECT_EQ(events[2].ParameterNumber, 0u) << "written past maxEvents";
	EXPECT_EQ(registry.GetNumPendingParamEvents(), 1u);
	EXPECT_EQ(registry.ConsumeParamEvents(events, 3), 1u);
	EXPECT_EQ(events[0].ParameterNumber, 13u);
	EXPECT_EQ(registry.GetNumPendingParamEvents(), 0u);
}
} // namespace
