// The order in which plugMain drives an instance, and the requests that need
// parameters of every kind, seen through a probe plug-in that reports each
// call it receives to the host's log callback.
#include "tests/host/PluginModule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tests::Bits;
using tests::FloatArg;
using tests::FloatBits;
using tests::kFail64;
using tests::Number;
using tests::Pointer;
using tests::PluginModule;

namespace
{
std::vector<std::string> s_events;

void Record(char* text)
{
	s_events.emplace_back(text);
}

using Events = std::vector<std::string>;

const Events kDefaultsPushed = {
	"construct",
	"SetFloatParameter 0 0.25",
	"SetTextParameter 1 abc",
	"SetFloatParameter 2 1",
	"SetTextParameter 3 a.png",
};

Events Concat(Events first, const Events& second)
{
	first.insert(first.end(), second.begin(), second.end());
	return first;
}

class LifecycleTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ASSERT_TRUE(probe.Loaded()) << probe.error;
		probe.setLogCallback(Record);
		ASSERT_EQ(probe.Call64(FF_INITIALISE_V2), FF_SUCCESS);
		s_events.clear();
	}
	void TearDown() override
	{
		if (!probe.Loaded())
			return;
		probe.Call(FF_DEINITIALISE);
		probe.setLogCallback(nullptr);
		s_events.clear();
	}

	// A live instance with no events recorded yet.
	void* Fresh()
	{
		void* instance = probe.Instantiate();
		EXPECT_NE(instance, nullptr);
		s_events.clear();
		return instance;
	}

	std::uint64_t Frame(void* instance)
	{
		ProcessOpenGLStructTag record{ 0, nullptr, 0 };
		return probe.Call64(FF_PROCESS_OPENGL, Pointer(&record), instance);
	}

	PluginModule probe{ PROBE_MODULE_PATH };
};

TEST_F(LifecycleTest, DefaultsArePushedBeforeInitGL)
{
	void* instance = probe.Instantiate(640, 480);
	ASSERT_NE(instance, nullptr);
	EXPECT_EQ(s_events, Concat(kDefaultsPushed, { "InitGL 640x480" }));
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
}

TEST_F(LifecycleTest, FirstFrameConnectsOnceAndASuccessfulDisconnectReconnects)
{
	void* instance = Fresh();
	EXPECT_EQ(Frame(instance), FF_SUCCESS);
	EXPECT_EQ(Frame(instance), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "Connect", "ProcessOpenGL", "ProcessOpenGL" }));

	s_events.clear();
	EXPECT_EQ(probe.Call64(FF_DISCONNECT, Number(0), instance), FF_SUCCESS);
	EXPECT_EQ(Frame(instance), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "Disconnect", "Connect", "ProcessOpenGL" }));
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
}

TEST_F(LifecycleTest, DeletionDisconnectsThenDeInitsThenDestroys)
{
	void* framed = Fresh();
	Frame(framed);
	s_events.clear();
	EXPECT_EQ(probe.Call64(FF_DEINSTANTIATE_GL, Number(0), framed), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "Disconnect", "DeInitGL", "destruct" }));

	void* neverFramed = Fresh();
	EXPECT_EQ(probe.Call64(FF_DEINSTANTIATE_GL, Number(0), neverFramed), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "DeInitGL", "destruct" }));

	void* disconnected = Fresh();
	Frame(disconnected);
	probe.Call(FF_DISCONNECT, Number(0), disconnected);
	s_events.clear();
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), disconnected);
	EXPECT_EQ(s_events, (Events{ "DeInitGL", "destruct" }));
}

TEST_F(LifecycleTest, FailedOrThrowingInitGLRunsDeInitGLBeforeDeletion)
{
	struct Case
	{
		std::uint32_t width;
		const char* initEvent;
	};
	for (const Case& c : { Case{ 0, "InitGL 0x480" }, Case{ 1, "InitGL 1x480" } })
	{
		s_events.clear();
		FFGLViewportStructTag viewport{ 0, 0, c.width, 480 };
		EXPECT_EQ(probe.Call64(FF_INSTANTIATE_GL, Pointer(&viewport)), kFail64) << c.width;
		EXPECT_EQ(s_events, Concat(kDefaultsPushed, { c.initEvent, "DeInitGL", "destruct" })) << c.width;
	}
}

TEST_F(LifecycleTest, FailedDefaultDeletesWithoutGL)
{
	PluginModule noSetter(PROBE_NO_SETTER_MODULE_PATH);
	ASSERT_TRUE(noSetter.Loaded()) << noSetter.error;
	noSetter.setLogCallback(Record);
	ASSERT_EQ(noSetter.Call64(FF_INITIALISE_V2), FF_SUCCESS);
	s_events.clear();

	FFGLViewportStructTag viewport{ 0, 0, 64, 64 };
	EXPECT_EQ(noSetter.Call64(FF_INSTANTIATE_GL, Pointer(&viewport)), kFail64);
	EXPECT_EQ(s_events, (Events{ "construct", "destruct" }));
	noSetter.Call(FF_DEINITIALISE);
	noSetter.setLogCallback(nullptr);
}

TEST_F(LifecycleTest, PrototypeIsMadeOnceAndRemadeAfterDeInitialise)
{
	EXPECT_EQ(probe.Call64(FF_INITIALISE_V2), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "initialise method" }));

	s_events.clear();
	EXPECT_EQ(probe.Call64(FF_DEINITIALISE), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "destruct", "deinitialise method" }));

	s_events.clear();
	EXPECT_EQ(probe.Call64(FF_GET_NUM_PARAMETERS), 4u);
	EXPECT_EQ(s_events, (Events{ "initialise method", "construct" }));
}

TEST_F(LifecycleTest, ExceptionsInPluginCodeGiveTheFailureValue)
{
	void* instance = Fresh();
	const double negative = -1.0;
	const double positive = 2.5;
	EXPECT_EQ(probe.Call64(FF_SET_TIME, Pointer(&negative), instance), kFail64);
	EXPECT_EQ(probe.Call64(FF_SET_TIME, Pointer(&positive), instance), FF_SUCCESS);
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
}

TEST_F(LifecycleTest, HostInfoWithNullTextsIsTakenAsEmpty)
{
	void* instance = Fresh();
	SetHostInfoStructTag both{ "Host", "7.1" };
	SetHostInfoStructTag none{ nullptr, nullptr };
	EXPECT_EQ(probe.Call64(FF_SET_HOSTINFO, Pointer(&both), instance), FF_SUCCESS);
	EXPECT_EQ(probe.Call64(FF_SET_HOSTINFO, Pointer(&none), instance), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "SetHostInfo [Host] [7.1]", "SetHostInfo [] []" }));
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
}

TEST_F(LifecycleTest, TextParametersTravelAsPointers)
{
	EXPECT_STREQ(static_cast<const char*>(probe.Call(FF_GET_PARAMETER_DEFAULT, Number(1)).PointerValue), "abc");
	EXPECT_STREQ(static_cast<const char*>(probe.Call(FF_GET_PARAMETER_DEFAULT, Number(3)).PointerValue), "a.png");

	void* instance = Fresh();
	EXPECT_STREQ(static_cast<const char*>(probe.Call(FF_GET_PARAMETER, Number(1), instance).PointerValue), "abc");

	SetParameterStructTag set{ 1, Pointer("xyz") };
	EXPECT_EQ(probe.Call64(FF_SET_PARAMETER, Pointer(&set), instance), FF_SUCCESS);
	SetParameterStructTag setNull{ 1, Pointer(nullptr) };
	EXPECT_EQ(probe.Call64(FF_SET_PARAMETER, Pointer(&setNull), instance), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "SetTextParameter 1 xyz", "SetTextParameter 1 " }));

	// A text parameter's display is whatever GetTextParameter answers.
	SetParameterStructTag again{ 1, Pointer("shown") };
	probe.Call(FF_SET_PARAMETER, Pointer(&again), instance);
	EXPECT_STREQ(static_cast<const char*>(probe.Call(FF_GET_PARAMETER_DISPLAY, Number(1), instance).PointerValue), "shown");
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
}

TEST_F(LifecycleTest, DefaultDisplayIsASixteenByteField)
{
	void* instance = Fresh();
	const char* display = static_cast<const char*>(probe.Call(FF_GET_PARAMETER_DISPLAY, Number(0), instance).PointerValue);
	ASSERT_NE(display, nullptr);
	const char expected[16] = { '0', '.', '2', '5', '0', '0', '0', '0', 0, 0, 0, 0, 0, 0, 0, 0 };
	EXPECT_EQ(std::string(display, 16), std::string(expected, 16));
	EXPECT_EQ(probe.Call(FF_GET_PARAMETER_DISPLAY, Number(9), instance).PointerValue, nullptr);
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
}

TEST_F(LifecycleTest, ElementRequestsUnpackTheirRecords)
{
	auto call = [&](std::uint32_t code, std::uint32_t number, std::uint32_t element, void* instance = nullptr) {
		ParamElementStructTag record{ number, element };
		return probe.Call(code, Pointer(&record), instance);
	};
	EXPECT_EQ(probe.Call64(FF_GET_NUM_PARAMETER_ELEMENTS, Number(2)), 3u);
	EXPECT_STREQ(static_cast<const char*>(call(FF_GET_PARAMETER_ELEMENT_NAME, 2, 1).PointerValue), "two");
	EXPECT_EQ(Bits(call(FF_GET_PARAMETER_ELEMENT_VALUE, 2, 2)), FloatBits(2.0f));
	EXPECT_EQ(Bits(call(FF_GET_SEPARATOR_ELEMENT_INDEX, 2, 0)), 1u);
	EXPECT_STREQ(static_cast<const char*>(call(FF_GET_FILE_PARAMETER_EXTENSION, 3, 1).PointerValue), "jpg");

	// The host fills an element of its instance; the prototype keeps its own.
	void* instance = Fresh();
	SetParameterElementValueStructTag set{ 2, 0, FloatArg(5.0f) };
	EXPECT_EQ(probe.Call64(FF_SET_PARAMETER_ELEMENT_VALUE, Pointer(&set), instance), FF_SUCCESS);
	EXPECT_EQ(Bits(call(FF_GET_PARAMETER_ELEMENT_VALUE, 2, 0, instance)), FloatBits(5.0f));
	EXPECT_EQ(Bits(call(FF_GET_PARAMETER_ELEMENT_VALUE, 2, 0)), FloatBits(0.0f));
	SetParameterElementValueStructTag outside{ 2, 3, FloatArg(5.0f) };
	EXPECT_EQ(probe.Call64(FF_SET_PARAMETER_ELEMENT_VALUE, Pointer(&outside), instance), kFail64);
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
}

TEST_F(LifecycleTest, StringsAreWrittenWithinMaxToWriteAndWithoutTerminator)
{
	void* instance = Fresh();
	struct Case
	{
		std::uint32_t code;
		std::uint32_t maxToWrite;
		const char* expected; // the 10-byte buffer afterwards
	};
	const Case cases[] = {
		{ FF_GET_PARAM_GROUP, 4, "Leve######" },
		{ FF_GET_PARAM_GROUP, 6, "Levels####" },
		{ FF_GET_PARAM_GROUP, 10, "Levels####" },
		{ FF_GET_PARAM_DISPLAY_NAME, 3, "Vol#######" },
		{ FF_GET_PARAM_DISPLAY_NAME, 10, "Volume####" },
	};
	for (const Case& c : cases)
	{
		char buffer[10];
		std::memset(buffer, '#', sizeof(buffer));
		GetStringStructTag request{ 0, { buffer, c.maxToWrite } };
		EXPECT_EQ(probe.Call64(c.code, Pointer(&request), instance), FF_SUCCESS) << c.code << " " << c.maxToWrite;
		EXPECT_EQ(std::string(buffer, sizeof(buffer)), c.expected) << c.code << " " << c.maxToWrite;
	}

	// Refusals leave the buffer alone.
	for (std::uint32_t code : { FF_GET_PARAM_GROUP, FF_GET_PARAM_DISPLAY_NAME })
	{
		char buffer[4] = { '#', '#', '#', '#' };
		GetStringStructTag empty{ 0, { buffer, 0 } };
		EXPECT_EQ(probe.Call64(code, Pointer(&empty), instance), kFail64) << code;
		GetStringStructTag noAddress{ 0, { nullptr, 4 } };
		EXPECT_EQ(probe.Call64(code, Pointer(&noAddress), instance), kFail64) << code;
		EXPECT_EQ(std::string(buffer, 4), "####") << code;
	}
	GetStringStructTag request{ 0, { nullptr, 4 } };
	EXPECT_EQ(probe.Call64(FF_GET_PARAM_DISPLAY_NAME, Pointer(&request), nullptr), kFail64);
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
}

TEST_F(LifecycleTest, ParameterEventsAreCountedThenTakenUpToCapacity)
{
	void* instance = Fresh();
	SetParameterStructTag loud{ 0, FloatArg(0.95f) };
	ASSERT_EQ(probe.Call64(FF_SET_PARAMETER, Pointer(&loud), instance), FF_SUCCESS);

	GetParamEventsStructTag count{ 0, nullptr };
	EXPECT_EQ(probe.Call64(FF_GET_PARAMETER_EVENTS, Pointer(&count), instance), FF_SUCCESS);
	EXPECT_EQ(count.numEvents, 3u);

	ParamEventStructTag events[2] = {};
	GetParamEventsStructTag take{ 1, events };
	EXPECT_EQ(probe.Call64(FF_GET_PARAMETER_EVENTS, Pointer(&take), instance), FF_SUCCESS);
	EXPECT_EQ(take.numEvents, 1u);
	EXPECT_EQ(events[0].ParameterNumber, 0u);
	EXPECT_EQ(events[0].eventFlags, FF_EVENT_FLAG_DISPLAY_NAME);
	EXPECT_EQ(events[1].eventFlags, 0u) << "written past the host's capacity";

	count.numEvents = 0;
	probe.Call(FF_GET_PARAMETER_EVENTS, Pointer(&count), instance);
	EXPECT_EQ(count.numEvents, 2u);

	// Visibility: the instance answers for itself, a null handle for the prototype.
	EXPECT_EQ(probe.Call64(FF_GET_PARAMETER_VISIBILITY, Number(1), instance), 0u);
	EXPECT_EQ(probe.Call64(FF_GET_PARAMETER_VISIBILITY, Number(1), nullptr), 1u);
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
}

TEST_F(LifecycleTest, CapabilitiesOfAPluginWithTopLeftTextures)
{
	EXPECT_EQ(probe.Call64(FF_GET_PLUGIN_CAPS, Number(FF_CAP_MINIMUM_INPUT_FRAMES)), 0u);
	EXPECT_EQ(probe.Call64(FF_GET_PLUGIN_CAPS, Number(FF_CAP_MAXIMUM_INPUT_FRAMES)), 2u);
	EXPECT_EQ(probe.Call64(FF_GET_PLUGIN_CAPS, Number(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION)), FF_SUPPORTED);
	EXPECT_STREQ(static_cast<const char*>(probe.Call(FF_GET_PLUGIN_SHORT_NAME).PointerValue), "PRB");

	void* instance = Fresh();
	EXPECT_EQ(probe.Call64(FF_ENABLE_PLUGIN_CAP, Number(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION), instance), FF_SUCCESS);
	EXPECT_EQ(probe.Call64(FF_ENABLE_PLUGIN_CAP, Number(FF_CAP_SET_TIME), instance), kFail64);
	EXPECT_EQ(probe.Call64(FF_ENABLE_PLUGIN_CAP, Number(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION), nullptr), kFail64);
	EXPECT_EQ(probe.Call64(FF_GET_INPUT_STATUS, Number(1), instance), 1u);
	EXPECT_EQ(probe.Call64(FF_GET_INPUT_STATUS, Number(2), instance), kFail64);
	probe.Call(FF_DEINSTANTIATE_GL, Number(0), instance);
}
} // namespace
