// plugMain and the functions behind it, linked into the test with a probe
// plug-in that records every call it receives: the order of the lifecycle,
// the failure value of every function code, and what reaches the instance.
#include "core/FFGLPlugin.h"
#include "host/FFGLEntryPoint.h"
#include "host/FFGLMixed.h"
#include "host/FFGLPluginInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <utility>

using FFGLMixed::FromPointer;
using FFGLMixed::FromUInt;

namespace
{
constexpr std::uint64_t kFail64 = FF_FAIL;
std::string s_calls;          // what the probe was asked, one word each
bool s_refuseFloats = false;  // the default SetFloatParameter, which fails
unsigned int s_connectResult; // of the next Connect
bool s_factoryFails = false;  // the factory answers FF_FAIL after making the instance

unsigned int Note(const std::string& call, unsigned int result = FF_SUCCESS)
{
	s_calls += call + " ";
	return result;
}

class Probe : public CFFGLPlugin
{
public:
	Probe() : CFFGLPlugin(true)
	{
		Note("construct");
		SetMaxInputs(2);
		SetParamInfo(0, "Level", FF_TYPE_STANDARD, 0.25f);
		SetParamGroup(0, "Levels");
		SetParamDisplayName(0, "Volume", false);
		SetParamInfo(1, "Label", FF_TYPE_TEXT, "abc");
		SetOptionParamInfo(2, "Mode", 3, 1.0f);
		SetParamElements(2, { "one", "two", "three" }, { 0.0f, 1.0f, 2.0f }, false);
		AddElementSeparator(2, 1);
		SetFileParamInfo(3, "Image", { "png", "jpg" }, "a.png");
	}
	~Probe() override { Note("destruct"); }
	// Fails for a viewport 0 pixels wide, throws for one 1 pixel wide.
	unsigned int InitGL(const FFGLViewportStructTag* viewport) override
	{
		Note("InitGL");
		if (viewport->width == 1)
			throw std::bad_alloc();
		return viewport->width == 0 ? FF_FAIL : CFFGLPlugin::InitGL(viewport);
	}
	unsigned int DeInitGL() override { return Note("DeInitGL"); }
	// A level above 0.9 raises events on parameters 0, 1 and 2.
	unsigned int SetFloatParameter(unsigned int index, float value) override
	{
		Note("float" + std::to_string(index) + "=" + std::to_string(value).substr(0, 4));
		if (s_refuseFloats)
			return CFFGLPlugin::SetFloatParameter(index, value);
		level = index == 0 ? value : level;
		if (index == 0 && value > 0.9f)
		{
			SetParamDisplayName(0, "Loud", true);
			SetParamVisibility(1, false, true);
			SetParamElements(2, { "uno" }, { 0.0f }, true);
		}
		return FF_SUCCESS;
	}
	float GetFloatParameter(unsigned int) override { return level; }
	unsigned int SetTextParameter(unsigned int index, const char* value) override
	{
		label = index == 1 ? value : label;
		return Note("text" + std::to_string(index) + "=" + value);
	}
	char* GetTextParameter(unsigned int) override { return &label[0]; }
	// Throws for parameter 7, a request whose failure value is null.
	char* GetParameterDisplay(unsigned int index) override
	{
		return index == 7 ? throw std::bad_alloc() : CFFGLPlugin::GetParameterDisplay(index);
	}
	unsigned int ProcessOpenGL(ProcessOpenGLStructTag*) override { return Note("frame"); }
	unsigned int SetTime(double time) override
	{
		return time < 0.0 ? throw std::bad_alloc() : CFFGLPlugin::SetTime(time);
	}
	// Reads both texts without a check, as an override may.
	void SetHostInfo(const char* name, const char* version) override
	{
		Note(std::string("host") + name + "/" + version);
	}
	char* GetShortName() override { return shortName; }
	unsigned int Connect() override { return Note("Connect", std::exchange(s_connectResult, FF_SUCCESS)); }
	unsigned int Disconnect() override { return Note("Disconnect"); }

	float level = 0.0f;
	std::string label;
	char shortName[4] = "PRB";
};

std::uint64_t Call(std::uint32_t code, FFMixed input = FromUInt(0), void* instance = nullptr)
{
	return FFGLMixed::AllBits(plugMain(code, input, instance));
}

const char* Text(std::uint32_t code, FFMixed input, void* instance = nullptr)
{
	return static_cast<const char*>(plugMain(code, input, instance).PointerValue);
}

class DispatchTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		s_factoryFails = false;
		registration = std::make_unique<CFFGLPluginInfo>(
			[](CFFGLPlugin** made)
			{
				const unsigned int result = PluginFactory<Probe>(made);
				return s_factoryFails ? FF_FAIL : result;
			},
			"PRBE", "Probe", 2, 1, 1, 0, FF_EFFECT, "", "", 0, nullptr, [] { return Note("init"); },
			[] { Note("deinit"); });
		ASSERT_EQ(Call(FF_INITIALISE_V2), FF_SUCCESS);
		s_calls.clear();
		s_refuseFloats = false;
		s_connectResult = FF_SUCCESS;
	}
	void TearDown() override
	{
		if (instance != nullptr)
			Call(FF_DEINSTANTIATE_GL, FromUInt(0), instance);
		Call(FF_DEINITIALISE);
		registration.reset();
	}
	Probe* Instantiate(std::uint32_t width = 640)
	{
		const FFGLViewportStructTag viewport{ 0, 0, width, 480 };
		const FFMixed made = plugMain(FF_INSTANTIATE_GL, FromPointer(&viewport), nullptr);
		return FFGLMixed::AllBits(made) == kFail64 ? nullptr : static_cast<Probe*>(made.PointerValue);
	}
	std::string Calls() { return std::exchange(s_calls, std::string()); }

	std::unique_ptr<CFFGLPluginInfo> registration;
	Probe* instance = nullptr; // deleted after the test
};

const char* const kMade = "construct float0=0.25 text1=abc float2=1.00 text3=a.png InitGL ";

TEST_F(DispatchTest, InstancesConnectOnTheirFirstFrameAndDisconnectWhenDeleted)
{
	// F frame, C connect, c connect that fails, D disconnect, X delete.
	const std::pair<const char*, const char*> cases[] = {
		{ "FFDFX", "Connect frame frame Disconnect Connect frame Disconnect DeInitGL destruct " },
		{ "X", "DeInitGL destruct " },
		{ "FDX", "Connect frame Disconnect DeInitGL destruct " },
		{ "CFX", "Connect frame Disconnect DeInitGL destruct " },
		{ "cFX", "Connect Connect frame Disconnect DeInitGL destruct " },
	};
	const std::string letters = "FCcDX";
	const std::uint32_t codes[] = { FF_PROCESS_OPENGL, FF_CONNECT, FF_CONNECT, FF_DISCONNECT, FF_DEINSTANTIATE_GL };
	ProcessOpenGLStructTag frame{ 0, nullptr, 0 };
	for (const auto& [requests, calls] : cases)
	{
		Probe* made = Instantiate();
		ASSERT_NE(made, nullptr);
		EXPECT_EQ(Calls(), kMade) << "defaults are pushed before InitGL";
		for (const char* request = requests; *request != '\0'; ++request)
		{
			const std::uint64_t answer = s_connectResult = *request == 'c' ? FF_FAIL : FF_SUCCESS;
			EXPECT_EQ(Call(codes[letters.find(*request)], FromPointer(&frame), made), answer) << *request;
		}
		EXPECT_EQ(Calls(), calls) << requests;
	}
}

TEST_F(DispatchTest, FailedInstantiationLeavesNothingBehind)
{
	EXPECT_EQ(Instantiate(0), nullptr);
	EXPECT_EQ(Calls(), std::string(kMade) + "DeInitGL destruct ");
	EXPECT_EQ(Instantiate(1), nullptr) << "InitGL threw";
	EXPECT_EQ(Calls(), std::string(kMade) + "DeInitGL destruct ");
	s_refuseFloats = true;
	EXPECT_EQ(Instantiate(), nullptr);
	EXPECT_EQ(Calls(), "construct float0=0.25 destruct ");
	s_refuseFloats = false;
	s_factoryFails = true;
	EXPECT_EQ(Instantiate(), nullptr);
	EXPECT_EQ(Calls(), "construct destruct ");
}

TEST_F(DispatchTest, PrototypeIsMadeOnceAndRemadeAfterDeInitialise)
{
	EXPECT_EQ(Call(FF_INITIALISE_V2), FF_SUCCESS);
	EXPECT_EQ(Calls(), "init ");
	EXPECT_EQ(Call(FF_DEINITIALISE), FF_SUCCESS);
	EXPECT_EQ(Calls(), "destruct deinit ");
	EXPECT_EQ(Call(FF_GET_NUM_PARAMETERS), 4u);
	EXPECT_EQ(Calls(), "init construct ");
}

TEST_F(DispatchTest, NullHandlesNullRecordsRefusedCodesAndExceptionsGiveTheFailureValue)
{
	// A valid-looking record does not stand in for a required handle, even
	// where the result is otherwise a pointer.
	FFGLViewportStructTag record{ 0, 0, 16, 16 };
	for (std::uint32_t code : { FF_GET_PARAMETER_DISPLAY, FF_SET_PARAMETER, FF_GET_PARAMETER, FF_GET_INPUT_STATUS,
			 FF_PROCESS_OPENGL, FF_DEINSTANTIATE_GL, FF_SET_TIME, FF_CONNECT, FF_DISCONNECT, FF_RESIZE,
			 FF_SET_PARAMETER_ELEMENT_VALUE, FF_SET_BEATINFO, FF_SET_HOSTINFO, FF_SET_SAMPLERATE,
			 FF_GET_PARAMETER_EVENTS, FF_ENABLE_PLUGIN_CAP, FF_GET_PARAM_DISPLAY_NAME })
		EXPECT_EQ(Call(code, FromPointer(&record), nullptr), kFail64) << code;

	instance = Instantiate();
	Calls();
	for (std::uint32_t code : { FF_SET_PARAMETER, FF_PROCESS_OPENGL, FF_SET_TIME, FF_RESIZE,
			 FF_GET_PARAMETER_ELEMENT_VALUE, FF_SET_PARAMETER_ELEMENT_VALUE, FF_SET_BEATINFO, FF_SET_HOSTINFO,
			 FF_GET_RANGE, FF_GET_THUMBNAIL, FF_GET_PARAMETER_EVENTS, FF_GET_SEPARATOR_ELEMENT_INDEX,
			 FF_GET_PARAM_GROUP, FF_GET_PARAM_DISPLAY_NAME, FF_INSTANTIATE_GL })
		EXPECT_EQ(Call(code, FromPointer(nullptr), instance), kFail64) << code;
	for (std::uint32_t code : { FF_GET_PARAMETER_ELEMENT_NAME, FF_GET_FILE_PARAMETER_EXTENSION })
		EXPECT_EQ(Call(code, FromPointer(nullptr), instance), 0u) << code;
	for (std::uint32_t code : { 1u, 3u, 11u, 12u, 14u, 24u, 30u, 52u, 0xFFFFFFFFu })
		EXPECT_EQ(Call(code, FromUInt(0), nullptr) & Call(code, FromUInt(0), instance), kFail64) << code;
	EXPECT_EQ(Calls(), "") << "a refused request reached the probe";

	const double time = -1.0;
	EXPECT_EQ(Call(FF_SET_TIME, FromPointer(&time), instance), kFail64) << "SetTime threw";
	EXPECT_EQ(Call(FF_GET_PARAMETER_DISPLAY, FromUInt(7), instance), 0u) << "GetParameterDisplay threw";
}

TEST_F(DispatchTest, InstanceRequestsReachTheInstance)
{
	instance = Instantiate();
	Calls();
	const double time = 12.5;
	SetBeatInfoStructTag beat{ 128.0f, 0.25f };
	SetHostInfoStructTag host{ "Host", "7.1" }, noHost{ nullptr, nullptr };
	FFGLViewportStructTag resized{ 1, 2, 320, 200 };
	SetParameterElementValueStructTag element{ 2, 0, FFGLMixed::FromFloat(5.0f) };
	SetParameterStructTag level{ 0, FFGLMixed::FromFloat(0.5f) }, label{ 1, FromPointer(nullptr) };
	const std::pair<std::uint32_t, FFMixed> requests[] = { { FF_SET_TIME, FromPointer(&time) },
		{ FF_SET_BEATINFO, FromPointer(&beat) }, { FF_SET_HOSTINFO, FromPointer(&host) },
		{ FF_SET_HOSTINFO, FromPointer(&noHost) }, { FF_SET_SAMPLERATE, FromUInt(48000) },
		{ FF_RESIZE, FromPointer(&resized) }, { FF_SET_PARAMETER_ELEMENT_VALUE, FromPointer(&element) },
		{ FF_SET_PARAMETER, FromPointer(&level) }, { FF_SET_PARAMETER, FromPointer(&label) } };
	for (const auto& [code, input] : requests)
		EXPECT_EQ(Call(code, input, instance), FF_SUCCESS) << code;
	EXPECT_EQ(instance->hostTime, 12.5);
	EXPECT_EQ(instance->bpm, 128.0f);
	EXPECT_EQ(instance->barPhase, 0.25f);
	EXPECT_EQ(instance->sampleRate, 48000u);
	EXPECT_EQ(instance->currentViewport.width, 320u);
	EXPECT_EQ(Calls(), "hostHost/7.1 host/ float0=0.50 text1= ") << "null texts arrive as empty";

	// Floats come back as their bit pattern with the upper half zero, texts as
	// pointers; the type is the prototype's.
	EXPECT_EQ(Call(FF_GET_PARAMETER, FromUInt(0), instance), FFGLMixed::FloatBits(0.5f));
	EXPECT_EQ(Text(FF_GET_PARAMETER, FromUInt(3), instance), instance->label.c_str());
	EXPECT_STREQ(Text(FF_GET_PARAMETER_DEFAULT, FromUInt(1)), "abc");
	EXPECT_STREQ(Text(FF_GET_PARAMETER_DISPLAY, FromUInt(0), instance), "0.500000");
	const ParamElementStructTag first{ 2, 0 }, second{ 2, 1 }, extension{ 3, 1 };
	EXPECT_EQ(Call(FF_GET_PARAMETER_ELEMENT_VALUE, FromPointer(&first), instance), FFGLMixed::FloatBits(5.0f));
	EXPECT_EQ(Call(FF_GET_PARAMETER_ELEMENT_VALUE, FromPointer(&first)), 0u) << "the prototype keeps its own";
	EXPECT_STREQ(Text(FF_GET_PARAMETER_ELEMENT_NAME, FromPointer(&second)), "two");
	EXPECT_EQ(Call(FF_GET_SEPARATOR_ELEMENT_INDEX, FromPointer(&first)), 1u);
	EXPECT_EQ(Call(FF_GET_NUM_ELEMENT_SEPARATORS, FromUInt(2)), 1u);
	EXPECT_STREQ(Text(FF_GET_FILE_PARAMETER_EXTENSION, FromPointer(&extension)), "jpg");
	EXPECT_STREQ(Text(FF_GET_PLUGIN_SHORT_NAME, FromUInt(0)), "PRB");
	EXPECT_EQ(Call(FF_GET_INPUT_STATUS, FromUInt(1), instance), 1u);
}

TEST_F(DispatchTest, StringsAreWrittenWithinMaxToWriteAndWithoutTerminator)
{
	instance = Instantiate();
	// The code, maxToWrite (9: a null address) and answer, and all 8 bytes afterwards.
	const std::tuple<std::uint32_t, std::uint32_t, std::uint64_t, const char*> cases[] = {
		{ FF_GET_PARAM_GROUP, 4, FF_SUCCESS, "Leve####" },
		{ FF_GET_PARAM_GROUP, 8, FF_SUCCESS, "Levels##" },
		{ FF_GET_PARAM_GROUP, 0, kFail64, "########" },
		{ FF_GET_PARAM_GROUP, 9, kFail64, "########" },
		{ FF_GET_PARAM_DISPLAY_NAME, 3, FF_SUCCESS, "Vol#####" },
	};
	for (const auto& [code, maxToWrite, answer, bytes] : cases)
	{
		char buffer[8];
		std::memset(buffer, '#', sizeof(buffer));
		GetStringStructTag request{ 0, { maxToWrite == 9 ? nullptr : buffer, maxToWrite } };
		EXPECT_EQ(Call(code, FromPointer(&request), instance), answer) << code << " " << maxToWrite;
		EXPECT_EQ(std::string(buffer, sizeof(buffer)), bytes) << code << " " << maxToWrite;
	}
}

TEST_F(DispatchTest, ParameterEventsVisibilityAndCapabilities)
{
	instance = Instantiate();
	SetParameterStructTag loud{ 0, FFGLMixed::FromFloat(0.95f) };
	ASSERT_EQ(Call(FF_SET_PARAMETER, FromPointer(&loud), instance), FF_SUCCESS);
	GetParamEventsStructTag count{ 0, nullptr };
	EXPECT_EQ(Call(FF_GET_PARAMETER_EVENTS, FromPointer(&count), instance), FF_SUCCESS);
	EXPECT_EQ(count.numEvents, 3u) << "a null array only counts";
	ParamEventStructTag events[2] = {};
	GetParamEventsStructTag take{ 1, events };
	EXPECT_EQ(Call(FF_GET_PARAMETER_EVENTS, FromPointer(&take), instance), FF_SUCCESS);
	EXPECT_EQ(take.numEvents, 1u);
	EXPECT_EQ(events[0].eventFlags, FF_EVENT_FLAG_DISPLAY_NAME);
	EXPECT_EQ(events[1].eventFlags, 0u) << "written past the host's capacity";

	// The instance answers for itself, a null handle for the prototype.
	EXPECT_EQ(Call(FF_GET_PARAMETER_VISIBILITY, FromUInt(1), instance), 0u);
	EXPECT_EQ(Call(FF_GET_PARAMETER_VISIBILITY, FromUInt(1)), 1u);
	EXPECT_EQ(Call(FF_GET_NUM_PARAMETER_ELEMENTS, FromUInt(2), instance), 1u);
	EXPECT_EQ(Call(FF_GET_NUM_PARAMETER_ELEMENTS, FromUInt(2)), 3u);

	EXPECT_EQ(Call(FF_GET_PLUGIN_CAPS, FromUInt(FF_CAP_MAXIMUM_INPUT_FRAMES)), 2u);
	EXPECT_EQ(Call(FF_GET_PLUGIN_CAPS, FromUInt(99)), FF_UNSUPPORTED) << "a capability newer than the plug-in";
	EXPECT_EQ(Call(FF_ENABLE_PLUGIN_CAP, FromUInt(FF_CAP_SET_TIME), instance), kFail64);
	EXPECT_EQ(Call(FF_ENABLE_PLUGIN_CAP, FromUInt(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION), instance), FF_SUCCESS);
	EXPECT_EQ(instance->GetTextureOrientation(), 1u);
}
} // namespace
