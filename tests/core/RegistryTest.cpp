// The parameter registry: the rules a host relies on when it asks about
// parameters by index.
#include "core/FFGLPluginManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace
{
std::uint32_t Bits(float value)
{
	std::uint32_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	return bits;
}

// All eight bytes: a float default travels with the upper half zero.
std::uint64_t Whole(FFMixed mixed)
{
	return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(mixed.PointerValue));
}

class Registry : public CFFGLPluginManager
{
public:
	Registry() : CFFGLPluginManager(false) {}
	std::uint64_t Flags(unsigned int index) { return FindParamInfo(index)->pendingEventFlags; }
	using CFFGLPluginManager::params;
};

TEST(RegistryTest, FreshRegistry)
{
	Registry registry;
	EXPECT_EQ(registry.GetNumParams(), 0u);
	EXPECT_EQ(registry.GetMinInputs(), 0u);
	EXPECT_EQ(registry.GetMaxInputs(), 0u);
	EXPECT_TRUE(registry.IsTimeSupported());
	EXPECT_EQ(registry.GetTextureOrientation(), 0u);
	registry.HostEnabledTopLeftTextures();
	EXPECT_EQ(registry.GetTextureOrientation(), 1u);
	ParamEventStructTag event{};
	EXPECT_EQ(registry.ConsumeParamEvents(&event, 4), 0u);
}

TEST(RegistryTest, OnlyStandardSliderDefaultsAreClamped)
{
	struct Case
	{
		unsigned int type;
		float given;
		float stored;
	};
	const Case cases[] = {
		{ FF_TYPE_STANDARD, 1.7f, 1.0f },
		{ FF_TYPE_STANDARD, -0.2f, 0.0f },
		{ FF_TYPE_STANDARD, 0.5f, 0.5f },
		{ FF_TYPE_STANDARD, INFINITY, 1.0f },
		{ FF_TYPE_STANDARD, NAN, NAN },
		{ FF_TYPE_INTEGER, 1.7f, 1.7f },
		{ FF_TYPE_BOOLEAN, -3.0f, -3.0f },
		{ FF_TYPE_HUE, 2.0f, 2.0f },
	};
	Registry registry;
	for (unsigned int i = 0; i < std::size(cases); ++i)
	{
		registry.SetParamInfo(i, "p", cases[i].type, cases[i].given);
		EXPECT_EQ(Whole(registry.GetParamDefault(i)), Bits(cases[i].stored)) << i;
	}
}

TEST(RegistryTest, RegistrationFormsAndTheirRecords)
{
	Registry registry;
	registry.SetParamInfo(0, "float", FF_TYPE_STANDARD, 0.5f);
	registry.SetParamInfo(1, "bool", FF_TYPE_BOOLEAN, true);
	registry.SetParamInfo(2, "text", FF_TYPE_TEXT, "hello");
	registry.SetBufferParamInfo(3, "fft", 4, FF_USAGE_FFT);
	registry.SetOptionParamInfo(4, "option", 3, 7.0f);
	registry.SetFileParamInfo(5, "file", { "png", "jpg" }, "a.png");

	struct Expect
	{
		unsigned int type;
		unsigned int elements;
		unsigned int usage;
	};
	const Expect expected[] = {
		{ FF_TYPE_STANDARD, 1, 0 },
		{ FF_TYPE_BOOLEAN, 0, 0 },
		{ FF_TYPE_TEXT, 1, 0 },
		{ FF_TYPE_BUFFER, 4, 1 },
		{ FF_TYPE_OPTION, 3, 0 },
		{ FF_TYPE_FILE, 0, 0 },
	};
	for (unsigned int i = 0; i < 6; ++i)
	{
		EXPECT_EQ(registry.GetParamType(i), expected[i].type) << i;
		EXPECT_EQ(registry.GetNumParamElements(i), expected[i].elements) << i;
		EXPECT_EQ(registry.GetParamUsage(i), expected[i].usage) << i;
		EXPECT_EQ(registry.GetParamVisibility(i), 1u) << i;
	}
	EXPECT_EQ(Whole(registry.GetParamDefault(0)), 0x3F000000u);
	EXPECT_EQ(Whole(registry.GetParamDefault(1)), Bits(1.0f));
	EXPECT_STREQ(static_cast<const char*>(registry.GetParamDefault(2).PointerValue), "hello");
	EXPECT_EQ(Whole(registry.GetParamDefault(4)), Bits(7.0f));
	EXPECT_STREQ(static_cast<const char*>(registry.GetParamDefault(5).PointerValue), "a.png");
	EXPECT_EQ(registry.GetNumFileParamExtensions(5), 2u);
	EXPECT_STREQ(registry.GetFileParamExtension(5, 1), "jpg");
	EXPECT_EQ(registry.GetFileParamExtension(5, 2), nullptr);
	EXPECT_STREQ(registry.GetParamElementName(0, 0), "");
	EXPECT_EQ(registry.GetParamElementDefault(0, 0), Bits(0.0f));
}

TEST(RegistryTest, NullTextsAreTakenAsEmpty)
{
	Registry registry;
	registry.SetParamInfo(0, nullptr, FF_TYPE_STANDARD, 0.5f);
	registry.SetParamInfo(1, nullptr, FF_TYPE_TEXT, static_cast<const char*>(nullptr));
	registry.SetFileParamInfo(2, nullptr, {}, nullptr);
	registry.SetOptionParamInfo(3, nullptr, 1, 0.0f);
	registry.SetParamElementInfo(3, 0, nullptr, 2.0f);
	registry.SetParamDisplayName(0, static_cast<const char*>(nullptr), true);
	registry.SetParamGroup(0, static_cast<const char*>(nullptr));

	EXPECT_STREQ(registry.GetParamName(0), "");
	EXPECT_STREQ(static_cast<const char*>(registry.GetParamDefault(1).PointerValue), "");
	EXPECT_STREQ(static_cast<const char*>(registry.GetParamDefault(2).PointerValue), "");
	EXPECT_STREQ(registry.GetParamElementName(3, 0), "");
	EXPECT_EQ(registry.GetParamElementDefault(3, 0), Bits(2.0f));
	EXPECT_EQ(registry.GetParamDisplayName(0), "");
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
	EXPECT_EQ(registry.GetParamType(3), FF_TYPE_STANDARD);
	EXPECT_EQ(Whole(registry.GetParamDefault(3)), Bits(0.25f));
	EXPECT_EQ(registry.GetParamRange(3).min, -1.0f);
	EXPECT_EQ(registry.params[1].range.min, 0.0f) << "a change reached the second record";

	const unsigned int unknown = 9;
	EXPECT_EQ(registry.FindParamInfo(unknown), nullptr);
	EXPECT_EQ(registry.GetParamName(unknown), nullptr);
	EXPECT_EQ(registry.GetParamElementName(unknown, 0), nullptr);
	EXPECT_EQ(registry.GetFileParamExtension(unknown, 0), nullptr);
	EXPECT_EQ(Whole(registry.GetParamDefault(unknown)), FF_FAIL);
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
	EXPECT_EQ(registry.GetParamRange(unknown).min, 0.0f);
	EXPECT_EQ(registry.GetParamRange(unknown).max, 1.0f);
	EXPECT_EQ(registry.GetParamGroup(unknown), "");
	EXPECT_EQ(registry.GetParamDisplayName(unknown), "");

	// Changes to an unknown index do nothing, and never touch another record.
	registry.SetParamVisibility(unknown, false, true);
	registry.SetParamDisplayName(unknown, "x", true);
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
	EXPECT_EQ(registry.GetNumParamElements(1), 1u);
	EXPECT_EQ(registry.GetNumParamElements(0), 2u);
	EXPECT_EQ(registry.GetNumPendingParamEvents(), 0u);
	registry.SetParamElements(0, { "x", "y", "z" }, { 1.0f, 2.0f, 3.0f }, true);
	EXPECT_EQ(registry.GetNumParamElements(0), 3u);
	EXPECT_STREQ(registry.GetParamElementName(0, 2), "z");
	EXPECT_EQ(registry.GetParamElementDefault(0, 2), Bits(3.0f));
	registry.SetParamElements(0, {}, {}, true);
	EXPECT_EQ(registry.GetNumParamElements(0), 0u);
	EXPECT_EQ(registry.Flags(0), FF_EVENT_FLAG_ELEMENTS);

	registry.AddElementSeparator(0, 7);
	EXPECT_EQ(registry.GetNumElementSeparators(0), 1u);
	EXPECT_EQ(registry.GetElementSeparatorElementIndex(0, 0), 7u);
	EXPECT_EQ(registry.GetElementSeparatorElementIndex(0, 1), FF_FAIL);

	EXPECT_EQ(registry.SetParamElementValue(1, 0, 0.75f), FF_SUCCESS);
	EXPECT_EQ(registry.GetParamElementDefault(1, 0), Bits(0.75f));
	EXPECT_EQ(registry.SetParamElementValue(1, 1, 0.75f), FF_FAIL);
}

TEST(RegistryTest, EventsAreRaisedOnlyOnChange)
{
	Registry registry;
	registry.SetParamInfo(0, "p", FF_TYPE_STANDARD, 0.0f);
	registry.SetParamVisibility(0, false, true);
	EXPECT_EQ(registry.Flags(0), FF_EVENT_FLAG_VISIBILITY);
	registry.params[0].pendingEventFlags = 0;
	registry.SetParamVisibility(0, false, true);
	registry.SetParamVisibility(0, true, false);
	EXPECT_EQ(registry.Flags(0), 0u);
	EXPECT_EQ(registry.GetParamVisibility(0), 1u);

	registry.SetParamDisplayName(0, "Name", true);
	registry.SetParamDisplayName(0, std::string("Name"), true);
	EXPECT_EQ(registry.Flags(0), FF_EVENT_FLAG_DISPLAY_NAME);
	registry.params[0].pendingEventFlags = 0;
	registry.SetParamDisplayName(0, "Nam", false);
	EXPECT_EQ(registry.GetParamDisplayName(0), "Nam");
	EXPECT_EQ(registry.Flags(0), 0u);

	// Flags of one record accumulate into a single event.
	registry.RaiseParamEvent(0, 0x40);
	registry.SetParamDisplayName(0, "Other", true);
	EXPECT_EQ(registry.GetNumPendingParamEvents(), 1u);
	EXPECT_EQ(registry.Flags(0), 0x40u | FF_EVENT_FLAG_DISPLAY_NAME);
}

TEST(RegistryTest, ConsumingEventsStopsAtCapacity)
{
	Registry registry;
	for (unsigned int i = 0; i < 4; ++i)
		registry.SetParamInfo(10 + i, "p", FF_TYPE_STANDARD, 0.0f);
	registry.RaiseParamEvent(10, 1);
	registry.RaiseParamEvent(12, 2);
	registry.RaiseParamEvent(13, 8);
	EXPECT_EQ(registry.GetNumPendingParamEvents(), 3u);

	ParamEventStructTag events[3] = {};
	EXPECT_EQ(registry.ConsumeParamEvents(events, 0), 0u);
	EXPECT_EQ(registry.ConsumeParamEvents(events, 2), 2u);
	EXPECT_EQ(events[0].ParameterNumber, 10u);
	EXPECT_EQ(events[0].eventFlags, 1u);
	EXPECT_EQ(events[1].ParameterNumber, 12u);
	EXPECT_EQ(events[1].eventFlags, 2u);
	EXPECT_EQ(events[2].ParameterNumber, 0u) << "written past maxEvents";
	EXPECT_EQ(registry.GetNumPendingParamEvents(), 1u);

	EXPECT_EQ(registry.ConsumeParamEvents(events, 3), 1u);
	EXPECT_EQ(events[0].ParameterNumber, 13u);
	EXPECT_EQ(events[0].eventFlags, 8u);
	EXPECT_EQ(registry.GetNumPendingParamEvents(), 0u);
}
} // namespace
