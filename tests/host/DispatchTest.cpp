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
#include <utility>

using FFGLMixed::FromPointer;
using FFGLMixed::FromUInt;

namespace
{
constexpr std::uint64_t kFail64 = FF_FAIL;
std::string s_calls;          // what the probe was asked, one word each
bool s_refuseFloats = false;  // the default SetFloatParameter, which fails
unsigned int s_connectResult; // of the next Connect

void Note(const std::string& call)
{
	s_calls += call + " ";
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
	unsigned int DeInitGL() override { return Noted("DeInitGL", FF_SUCCESS); }
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
		Note("text" + std::to_string(index) + "=" + value);
		label = index == 1 ? value : label;
		return FF_SUCCESS;
	}
	char* GetTextParameter(unsigned int) override { return &label[0]; }
	// Throws for parameter 7, a request whose failure value is null.
	char* GetParameterDisplay(unsigned int index) override
	{
		return index == 7 ? throw std::bad_alloc() : CFFGLPlugin::GetParameterDisplay(index);
	}
	unsigned int ProcessOpenGL(ProcessOpenGLStructTag*) override { return Noted("frame", FF_SUCCESS); }
	unsigned int SetTime(double time) override
	{
		return time < 0.0 ? throw std::bad_alloc() : CFFGLPlugin::SetTime(time);
	}
	char* GetShortName() override { return shortName; }
	unsigned int Connect() override { return Noted("Connect", std::exchange(s_connectResult, FF_SUCCESS)); }
	unsigned int Disconnect() override { return Noted("Disconnect", FF_SUCCESS); }

	float level = 0.0f;
	std::string label;
	char shortName[4] = "PRB";

private:
	static unsigned int Noted(const char* call, unsigned int result)
	{
		Note(call);
		return result;
	}
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
		registration = std::make_unique<CFFGLPluginInfo>(
			PluginFactory<Probe>, "PRBE", "Probe", 2, 1, 1, 0, FF_EFFECT, "", "", 0, nullptr,
			[] { return Note("init"), FF_SUCCESS; }, [] { Note("deinit"); });
		ASSERT_EQ(Call(FF_INITIALISE_V2), FF_SUCCESS);
		s_calls.clear();
		s_refuseFloats = false;
		s_connectResult = FF_SUCCESS;
	}
	void TearDown() override
	{
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
};

const char* const kMade = "construct float0=0.25 text1=abc float2=1.00 text3=a.png InitGL ";

TEST_F(DispatchTest, InstancesConnectOnTheirFirstFrameAndDisconnectWhenDeleted)
{
	// F frame, C connect, c connect that fails, D disconnect, X delete.
	const struct
	{
		const char* requests;
		const char* calls;
	} cases[] = {
		{ "FFDFX", "Connect frame frame Disconnect Connect frame Disconnect DeInitGL destruct " },
		{ "X", "DeInitGL destruct " },
		{ "FDX", "Connect frame Disconnect DeInitGL destruct " },
		{ "CFX", "Connect frame Disconnect DeInitGL destruct " },
		{ "cFX", "Connect Connect frame Disconnect DeInitGL destruct " },
	};
	const std::string letters = "FCcDX";
	const std::uint32_t codes[] = { FF_PROCESS_OPENGL, FF_CONNECT, FF_CONNECT, FF_DISCONNECT, FF_DEINSTANTIATE_GL };
	ProcessOpenGLStructTag frame{ 0, nullptr, 0 };
	for (const auto& c : cases)
	{
		Probe* instance = Instantiate();
		ASSERT_NE(instance, nullptr);
		EXPECT_EQ(Calls(), kMade) << "defaults are pushed before InitGL";
		for (const char* request = c.requests; *request != '\0'; ++request)
		{
			const std::uint64_t answer = s_connectResult = *request == 'c' ? FF_FAIL : FF_SUCCESS;
			EXPECT_EQ(Call(codes[letters.find(*request)], FromPointer(&frame), instance), answer) << *request;
		}
		EXPECT_EQ(Calls(), c.calls) << c.requests;
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

TEST_F(DispatchTest, NullHandlesNullRecordsAndRefusedCodesGiveTheFailureValue)
{
	// A valid-looking record does not stand in for a required handle, even
	// where the result is otherwise a pointer.
	FFGLViewportStructTag record{ 0, 0, 16, 16 };
	for (std::uint32_t code : { FF_GET_PARAMETER_DISPLAY, FF_SET_PARAMETER, FF_GET_PARAMETER, FF_GET_INPUT_STATUS,
			 FF_PROCESS_OPENGL, FF_DEINSTANTIATE_GL, FF_SET_TIME, FF_CONNECT, FF_DISCONNECT, FF_RESIZE,
			 FF_SET_PARAMETER_ELEMENT_VALUE, FF_SET_BEATINFO, FF_SET_HOSTINFO, FF_SET_SAMPLERATE,
			 FF_GET_PARAMETER_EVENTS, FF_ENABLE_PLUGIN_CAP, FF_GET_PARAM_DISPLAY_NAME })
		EXPECT_EQ(Call(code, FromPointer(&record), nullptr), kFail64) << code;

	Probe* instance = Instantiate();
	Calls();
	for (std::uint32_t code : { FF_SET_PARAMETER, FF_PROCESS_OPENGL, FF_SET_TIME, FF_RESIZE,
			 FF_GET_PARAMETER_ELEMENT_VALUE, FF_SET_PARAMETER_ELEMENT_VALUE, FF_SET_BEATINFO, FF_SET_HOSTINFO,
			 FF_GET_RANGE, FF_GET_THUMBNAIL, FF_GET_PARAMETER_EVENTS, FF_GET_SEPARATOR_ELEMENT_INDEX,
			 FF_GET_PARAM_GROUP, FF_GET_PARAM_DISPLAY_NAME, FF_INSTANTIATE_GL })
		EXPECT_EQ(Call(code, FromPointer(nullptr), instance), kFail64) << code;
	for (std::uint32_t code : { FF_GET_PARAMETER_ELEMENT_NAME, FF_GET_FILE_PARAMETER_EXTENSION })
		EXPECT_EQ(Call(code, FromPointer(nullptr), instance), 0u) << code;
	for (std::uint32_t code : { 1u, 3u, 11u, 12u, 14u, 24u, 30u, 52u, 0xFFFFFFFFu })
	{
		EXPECT_EQ(Call(code, FromUInt(0), nullptr), kFail64) << code;
		EXPECT_EQ(Call(code, FromUInt(0), instance), kFail64) << code;
	}
	EXPECT_EQ(Calls(), "") << "a refused request reached the probe";
	Call(FF_DEINSTANTIATE_GL, FromUInt(0), instance);
}

TEST_F(DispatchTest, ExceptionsNeverLeavePlugMain)
{
	Probe* instance = Instantiate();
	const double time = -1.0;
	EXPECT_EQ(Call(FF_SET_TIME, FromPointer(&time), instance), kFail64);
	EXPECT_EQ(Call(FF_GET_PARAMETER_DISPLAY, FromUInt(7), instance), 0u);
	Call(FF_DEINSTANTIATE_GL, FromUInt(0), instance);
}

TEST_F(DispatchTest, InstanceRequestsReachTheInstance)
{
	Probe* instance = Instantiate();
	Calls();
	const double time = 12.5;
	SetBeatInfoStructTag beat{ 128.0f, 0.25f };
	SetHostInfoStructTag host{ "Host", "7.1" };
	FFGLViewportStructTag resized{ 1, 2, 320, 200 };
	SetParameterElementValueStructTag element{ 2, 0, FFGLMixed::FromFloat(5.0f) };
	SetParameterStructTag level{ 0, FFGLMixed::FromFloat(0.5f) };
	SetParameterStructTag label{ 1, FromPointer(nullptr) };
	const std::pair<std::uint32_t, FFMixed> requests[] = { { FF_SET_TIME, FromPointer(&time) },
		{ FF_SET_BEATINFO, FromPointer(&beat) }, { FF_SET_HOSTINFO, FromPointer(&host) },
		{ FF_SET_SAMPLERATE, FromUInt(48000) }, { FF_RESIZE, FromPointer(&resized) },
		{ FF_SET_PARAMETER_ELEMENT_VALUE, FromPointer(&element) }, { FF_SET_PARAMETER, FromPointer(&level) },
		{ FF_SET_PARAMETER, FromPointer(&label) } };
	for (const auto& [code, input] : requests)
		EXPECT_EQ(Call(code, input, instance), FF_SUCCESS) << code;
	EXPECT_EQ(instance->hostTime, 12.5);
	EXPECT_EQ(instance->bpm, 128.0f);
	EXPECT_EQ(instance->barPhase, 0.25f);
	EXPECT_EQ(instance->hostName + " " + instance->hostVersion, "Host 7.1");
	EXPECT_EQ(instance->sampleRate, 48000u);
	EXPECT_EQ(instance->currentViewport.width, 320u);
	EXPECT_EQ(Calls(), "float0=0.50 text1= ") << "a null text arrives as empty";
	host = { nullptr, nullptr };
	EXPECT_EQ(Call(FF_SET_HOSTINFO, FromPointer(&host), instance), FF_SUCCESS);
	EXPECT_EQ(instance->hostName + instance->hostVersion, "");

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
	EXPECT_STREQ(Text(FF_GET_FILE_PARAMETER_EXTENSION, FromPointer(&extension)), "jpg");
	EXPECT_EQ(Call(FF_GET_NUM_PARAMETER_ELEMENTS, FromUInt(2)), 3u);
	EXPECT_STREQ(Text(FF_GET_PLUGIN_SHORT_NAME, FromUInt(0)), "PRB");
	const std::pair<std::uint32_t, std::uint64_t> inputs[] = { { 1, 1 }, { 2, kFail64 } };
	for (const auto& [input, answer] : inputs)
		EXPECT_EQ(Call(FF_GET_INPUT_STATUS, FromUInt(input), instance), answer) << input;
	Call(FF_DEINSTANTIATE_GL, FromUInt(0), instance);
}

TEST_F(DispatchTest, StringsAreWrittenWithinMaxToWriteAndWithoutTerminator)
{
	Probe* instance = Instantiate();
	const struct
	{
		std::uint32_t code, maxToWrite;
		bool hasAddress;
		std::uint64_t answer;
		const char* buffer; // all 8 bytes afterwards
	} cases[] = {
		{ FF_GET_PARAM_GROUP, 4, true, FF_SUCCESS, "Leve####" },
		{ FF_GET_PARAM_GROUP, 8, true, FF_SUCCESS, "Levels##" },
		{ FF_GET_PARAM_GROUP, 0, true, kFail64, "########" },
		{ FF_GET_PARAM_GROUP, 4, false, kFail64, "########" },
		{ FF_GET_PARAM_DISPLAY_NAME, 3, true, FF_SUCCESS, "Vol#####" },
		{ FF_GET_PARAM_DISPLAY_NAME, 0, true, kFail64, "########" },
	};
	for (const auto& c : cases)
	{
		char buffer[8];
		std::memset(buffer, '#', sizeof(buffer));
		GetStringStructTag request{ 0, { c.hasAddress ? buffer : nullptr, c.maxToWrite } };
		EXPECT_EQ(Call(c.code, FromPointer(&request), instance), c.answer) << c.code << " " << c.maxToWrite;
		EXPECT_EQ(std::string(buffer, sizeof(buffer)), c.buffer) << c.code << " " << c.maxToWrite;
	}
	Call(FF_DEINSTANTIATE_GL, FromUInt(0), instance);
}

TEST_F(DispatchTest, ParameterEventsVisibilityAndCapabilities)
{
	Probe* instance = Instantiate();
	SetParameterStructTag loud{ 0, FFGLMixed::FromFloat(0.95f) };
	ASSERT_EQ(Call(FF_SET_PARAMETER, FromPointer(&loud), instance), FF_SUCCESS);
	GetParamEventsStructTag count{ 0, nullptr };
	EXPECT_EQ(Call(FF_GET_PARAMETER_EVENTS, FromPointer(&count), instance), FF_SUCCESS);
	EXPECT_EQ(count.numEvents, 3u);
	ParamEventStructTag events[2] = {};
	GetParamEventsStructTag take{ 1, events };
	EXPECT_EQ(Call(FF_GET_PARAMETER_EVENTS, FromPointer(&take), instance), FF_SUCCESS);
	EXPECT_EQ(take.numEvents, 1u);
	EXPECT_EQ(events[0].eventFlags, FF_EVENT_FLAG_DISPLAY_NAME);
	EXPECT_EQ(events[1].eventFlags, 0u) << "written past the host's capacity";
	Call(FF_GET_PARAMETER_EVENTS, FromPointer(&count), instance);
	EXPECT_EQ(count.numEvents, 2u);

	// The instance answers for itself, a null handle for the prototype.
	EXPECT_EQ(Call(FF_GET_PARAMETER_VISIBILITY, FromUInt(1), instance), 0u);
	EXPECT_EQ(Call(FF_GET_PARAMETER_VISIBILITY, FromUInt(1)), 1u);
	EXPECT_EQ(Call(FF_GET_NUM_PARAMETER_ELEMENTS, FromUInt(2), instance), 1u);

	EXPECT_EQ(Call(FF_GET_PLUGIN_CAPS, FromUInt(FF_CAP_MAXIMUM_INPUT_FRAMES)), 2u);
	EXPECT_EQ(Call(FF_ENABLE_PLUGIN_CAP, FromUInt(FF_CAP_SET_TIME), instance), kFail64);
	EXPECT_EQ(instance->GetTextureOrientation(), 0u);
	EXPECT_EQ(Call(FF_ENABLE_PLUGIN_CAP, FromUInt(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION), instance), FF_SUCCESS);
	EXPECT_EQ(instance->GetTextureOrientation(), 1u);
	Call(FF_DEINSTANTIATE_GL, FromUInt(0), instance);
}
} // namespace
