// The order in which plugMain drives an instance, and the requests that need
// parameters of every kind, seen through a probe plug-in that reports each
// call it receives to the host's log callback.
#include "tests/host/PluginCalls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace tests;

namespace
{
using Events = std::vector<std::string>;
Events s_events;

void Record(const char* text)
{
	s_events.emplace_back(text);
}

Events Concat(Events first, const Events& second)
{
	first.insert(first.end(), second.begin(), second.end());
	return first;
}

const Events kDefaultsPushed = {
	"construct",
	"SetFloatParameter 0 0.25",
	"SetTextParameter 1 abc",
	"SetFloatParameter 2 1",
	"SetTextParameter 3 a.png",
};

class LifecycleTest : public ::testing::Test
{
protected:
	void SetUp() override { Open(probe, PROBE_MODULE_PATH); }
	void TearDown() override
	{
		for (ffgltool::PluginModule* module : { &probe, &noSetter })
		{
			if (module->IsLoaded())
			{
				module->DeInitialise();
				module->SetLogCallback(nullptr);
			}
		}
		s_events.clear();
	}

	static void Open(ffgltool::PluginModule& module, const char* path)
	{
		std::string error;
		ASSERT_TRUE(module.Load(path, error)) << error;
		module.SetLogCallback(Record);
		ASSERT_EQ(module.Initialise(), FF_SUCCESS);
		s_events.clear();
	}

	// A live instance with no events recorded yet.
	void* Fresh()
	{
		void* instance = probe.Instantiate({ 0, 0, 640, 480 });
		EXPECT_NE(instance, nullptr);
		s_events.clear();
		return instance;
	}

	std::uint32_t Frame(void* instance)
	{
		ProcessOpenGLStructTag record{ 0, nullptr, 0 };
		return probe.ProcessOpenGL(instance, record);
	}

	ffgltool::PluginModule probe;
	ffgltool::PluginModule noSetter;
};

TEST_F(LifecycleTest, DefaultsArePushedBeforeInitGL)
{
	void* instance = probe.Instantiate({ 0, 0, 640, 480 });
	ASSERT_NE(instance, nullptr);
	EXPECT_EQ(s_events, Concat(kDefaultsPushed, { "InitGL 640x480" }));
	probe.DeInstantiate(instance);
}

TEST_F(LifecycleTest, FirstFrameConnectsOnceAndASuccessfulDisconnectReconnects)
{
	void* instance = Fresh();
	EXPECT_EQ(Frame(instance), FF_SUCCESS);
	EXPECT_EQ(Frame(instance), FF_SUCCESS);
	EXPECT_EQ(probe.Disconnect(instance), FF_SUCCESS);
	EXPECT_EQ(Frame(instance), FF_SUCCESS);
	EXPECT_EQ(
		s_events, (Events{ "Connect", "ProcessOpenGL", "ProcessOpenGL", "Disconnect", "Connect", "ProcessOpenGL" }));
	probe.DeInstantiate(instance);
}

TEST_F(LifecycleTest, DeletionDisconnectsThenDeInitsThenDestroys)
{
	struct Case
	{
		const char* what;
		int frames;
		bool disconnect;
		Events events;
	};
	const Case cases[] = {
		{ "after a frame", 1, false, { "Disconnect", "DeInitGL", "destruct" } },
		{ "never framed", 0, false, { "DeInitGL", "destruct" } },
		{ "disconnected by the host", 1, true, { "DeInitGL", "destruct" } },
	};
	for (const Case& c : cases)
	{
		void* instance = Fresh();
		for (int frame = 0; frame < c.frames; ++frame)
			Frame(instance);
		if (c.disconnect)
			probe.Disconnect(instance);
		s_events.clear();
		EXPECT_EQ(probe.DeInstantiate(instance), FF_SUCCESS) << c.what;
		EXPECT_EQ(s_events, c.events) << c.what;
	}
}

TEST_F(LifecycleTest, FailedOrThrowingInitGLRunsDeInitGLBeforeDeletion)
{
	// The probe's InitGL fails for width 0 and throws for width 1.
	for (std::uint32_t width : { 0u, 1u })
	{
		s_events.clear();
		FFGLViewportStructTag viewport{ 0, 0, width, 480 };
		EXPECT_EQ(Call64(probe, FF_INSTANTIATE_GL, Pointer(&viewport)), kFail64) << width;
		const std::string init = "InitGL " + std::to_string(width) + "x480";
		EXPECT_EQ(s_events, Concat(kDefaultsPushed, { init, "DeInitGL", "destruct" })) << width;
	}
}

TEST_F(LifecycleTest, FailedDefaultDeletesWithoutGL)
{
	Open(noSetter, PROBE_NO_SETTER_MODULE_PATH);
	EXPECT_EQ(noSetter.Instantiate({ 0, 0, 64, 64 }), nullptr);
	EXPECT_EQ(s_events, (Events{ "construct", "destruct" }));
}

TEST_F(LifecycleTest, PrototypeIsMadeOnceAndRemadeAfterDeInitialise)
{
	EXPECT_EQ(probe.Initialise(), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "initialise method" }));
	s_events.clear();
	EXPECT_EQ(probe.DeInitialise(), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "destruct", "deinitialise method" }));
	s_events.clear();
	EXPECT_EQ(Call64(probe, FF_GET_NUM_PARAMETERS), 4u);
	EXPECT_EQ(s_events, (Events{ "initialise method", "construct" }));
}

TEST_F(LifecycleTest, HostStateNullTextsAndExceptions)
{
	void* instance = Fresh();
	SetHostInfoStructTag both{ "Host", "7.1" };
	SetHostInfoStructTag none{ nullptr, nullptr };
	EXPECT_EQ(Call64(probe, FF_SET_HOSTINFO, Pointer(&both), instance), FF_SUCCESS);
	EXPECT_EQ(Call64(probe, FF_SET_HOSTINFO, Pointer(&none), instance), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "SetHostInfo [Host] [7.1]", "SetHostInfo [] []" }));
	// The probe's SetTime throws for a negative time: plugMain answers FF_FAIL.
	EXPECT_EQ(probe.SetTime(instance, -1.0), FF_FAIL);
	EXPECT_EQ(probe.SetTime(instance, 2.5), FF_SUCCESS);
	probe.DeInstantiate(instance);
}

TEST_F(LifecycleTest, TextParametersTravelAsPointers)
{
	EXPECT_STREQ(CallText(probe, FF_GET_PARAMETER_DEFAULT, Number(1)), "abc");
	EXPECT_STREQ(CallText(probe, FF_GET_PARAMETER_DEFAULT, Number(3)), "a.png");

	void* instance = Fresh();
	EXPECT_STREQ(CallText(probe, FF_GET_PARAMETER, Number(1), instance), "abc");
	EXPECT_EQ(probe.SetTextParameter(instance, 1, "xyz"), FF_SUCCESS);
	EXPECT_EQ(probe.SetTextParameter(instance, 1, nullptr), FF_SUCCESS);
	EXPECT_EQ(s_events, (Events{ "SetTextParameter 1 xyz", "SetTextParameter 1 " }));

	// A text parameter's display is whatever GetTextParameter answers.
	probe.SetTextParameter(instance, 1, "shown");
	EXPECT_STREQ(probe.GetParameterDisplay(instance, 1), "shown");
	EXPECT_EQ(probe.GetParameterDisplay(instance, 9), nullptr);
	probe.DeInstantiate(instance);
}

TEST_F(LifecycleTest, ElementRequestsUnpackTheirRecords)
{
	EXPECT_EQ(probe.GetNumParameterElements(2), 3u);
	EXPECT_STREQ(probe.GetParameterElementName(2, 1), "two");
	EXPECT_EQ(probe.GetParameterElementValue(2, 2), FloatBits(2.0f));
	EXPECT_EQ(probe.GetElementSeparatorElementIndex(2, 0), 1u);
	EXPECT_STREQ(probe.GetFileParameterExtension(3, 1), "jpg");

	// The host fills an element of its instance; the prototype keeps its own.
	void* instance = Fresh();
	EXPECT_EQ(probe.SetParameterElementValue(instance, 2, 0, 5.0f), FF_SUCCESS);
	EXPECT_EQ(probe.GetParameterElementValue(2, 0, instance), FloatBits(5.0f));
	EXPECT_EQ(probe.GetParameterElementValue(2, 0), FloatBits(0.0f));
	EXPECT_EQ(probe.SetParameterElementValue(instance, 2, 3, 5.0f), FF_FAIL);
	probe.DeInstantiate(instance);
}

TEST_F(LifecycleTest, StringsAreWrittenWithinMaxToWriteAndWithoutTerminator)
{
	void* instance = Fresh();
	struct Case
	{
		std::uint32_t code;
		std::uint32_t maxToWrite;
		bool hasAddress;
		std::uint64_t answer;
		const char* buffer; // all 10 bytes afterwards
	};
	const Case cases[] = {
		{ FF_GET_PARAM_GROUP, 4, true, FF_SUCCESS, "Leve######" },
		{ FF_GET_PARAM_GROUP, 6, true, FF_SUCCESS, "Levels####" },
		{ FF_GET_PARAM_GROUP, 10, true, FF_SUCCESS, "Levels####" },
		{ FF_GET_PARAM_GROUP, 0, true, kFail64, "##########" },
		{ FF_GET_PARAM_GROUP, 4, false, kFail64, "##########" },
		{ FF_GET_PARAM_DISPLAY_NAME, 3, true, FF_SUCCESS, "Vol#######" },
		{ FF_GET_PARAM_DISPLAY_NAME, 10, true, FF_SUCCESS, "Volume####" },
		{ FF_GET_PARAM_DISPLAY_NAME, 0, true, kFail64, "##########" },
		{ FF_GET_PARAM_DISPLAY_NAME, 4, false, kFail64, "##########" },
	};
	for (const Case& c : cases)
	{
		char buffer[10];
		std::memset(buffer, '#', sizeof(buffer));
		GetStringStructTag request{ 0, { c.hasAddress ? buffer : nullptr, c.maxToWrite } };
		EXPECT_EQ(Call64(probe, c.code, Pointer(&request), instance), c.answer) << c.code << " " << c.maxToWrite;
		EXPECT_EQ(std::string(buffer, sizeof(buffer)), c.buffer) << c.code << " " << c.maxToWrite;
	}
	// The display name is the instance's own: no prototype stands in.
	char buffer[4];
	GetStringStructTag request{ 0, { buffer, 4 } };
	EXPECT_EQ(Call64(probe, FF_GET_PARAM_DISPLAY_NAME, Pointer(&request), nullptr), kFail64);
	probe.DeInstantiate(instance);
}

TEST_F(LifecycleTest, ParameterEventsAreCountedThenTakenUpToCapacity)
{
	void* instance = Fresh();
	// A loud level raises events on parameters 0, 1 and 2.
	ASSERT_EQ(probe.SetFloatParameter(instance, 0, 0.95f), FF_SUCCESS);

	GetParamEventsStructTag count{ 0, nullptr };
	EXPECT_EQ(probe.GetParamEvents(instance, count), FF_SUCCESS);
	EXPECT_EQ(count.numEvents, 3u);

	ParamEventStructTag events[2] = {};
	GetParamEventsStructTag take{ 1, events };
	EXPECT_EQ(probe.GetParamEvents(instance, take), FF_SUCCESS);
	EXPECT_EQ(take.numEvents, 1u);
	EXPECT_EQ(events[0].ParameterNumber, 0u);
	EXPECT_EQ(events[0].eventFlags, FF_EVENT_FLAG_DISPLAY_NAME);
	EXPECT_EQ(events[1].eventFlags, 0u) << "written past the host's capacity";
	count.numEvents = 0;
	probe.GetParamEvents(instance, count);
	EXPECT_EQ(count.numEvents, 2u);

	// Visibility: the instance answers for itself, a null handle for the prototype.
	EXPECT_EQ(probe.GetParameterVisibility(1, instance), 0u);
	EXPECT_EQ(probe.GetParameterVisibility(1), 1u);
	probe.DeInstantiate(instance);
}

TEST_F(LifecycleTest, CapabilitiesOfAPluginWithTopLeftTextures)
{
	EXPECT_EQ(probe.GetPluginCaps(FF_CAP_MINIMUM_INPUT_FRAMES), 0u);
	EXPECT_EQ(probe.GetPluginCaps(FF_CAP_MAXIMUM_INPUT_FRAMES), 2u);
	EXPECT_EQ(probe.GetPluginCaps(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION), FF_SUPPORTED);
	EXPECT_STREQ(probe.GetPluginShortName(), "PRB");

	void* instance = Fresh();
	EXPECT_EQ(probe.EnablePluginCap(instance, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION), FF_SUCCESS);
	EXPECT_EQ(probe.EnablePluginCap(instance, FF_CAP_SET_TIME), FF_FAIL);
	EXPECT_EQ(probe.EnablePluginCap(nullptr, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION), FF_FAIL);
	EXPECT_EQ(probe.GetInputStatus(instance, 1), 1u);
	EXPECT_EQ(probe.GetInputStatus(instance, 2), FF_FAIL);
	probe.DeInstantiate(instance);
}
} // namespace
