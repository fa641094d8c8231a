// The function-code table as a host sees it: the built Camera Tenebrixor
// module loaded with dlopen and driven through its exported plugMain.
#include "tests/host/PluginCalls.h"
#include "tests/support/GLFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace tests;

namespace
{
// Instantiating the guard builds its GL objects, so these run on the headless
// GL context.
class DispatchTest : public GLFixture
{
protected:
	void SetUp() override
	{
		GLFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		std::string error;
		ASSERT_TRUE(module.Load(TENEBRIXOR_MODULE_PATH, error)) << error;
	}
	void TearDown() override
	{
		if (module.IsLoaded())
			module.DeInitialise();
		GLFixture::TearDown();
	}
	void* Instantiate() { return module.Instantiate({ 0, 0, 640, 480 }); }

	ffgltool::PluginModule module;
};

TEST_F(DispatchTest, IdentityRecords)
{
	const auto* bytes = reinterpret_cast<const unsigned char*>(module.GetInfo());
	ASSERT_NE(bytes, nullptr);
	void* const* registration = static_cast<void* const*>(module.FindSymbol("g_CurrPluginInfo"));
	ASSERT_NE(registration, nullptr);
	EXPECT_EQ(static_cast<const void*>(bytes), *registration);
	auto u32 = [&](std::size_t offset)
	{
		std::uint32_t value;
		std::memcpy(&value, bytes + offset, sizeof(value));
		return value;
	};
	EXPECT_EQ(u32(0), 2u);
	EXPECT_EQ(u32(4), 1u);
	EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 8), 4), "TNBX");
	// 17 characters in a 16-byte field: the last letter is cut, no terminator.
	EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 12), 16), "Camera Tenebrixo");
	EXPECT_EQ(u32(28), FF_EFFECT);

	const PluginExtendedInfoStructTag* extended = module.GetExtendedInfo();
	ASSERT_EQ(reinterpret_cast<const unsigned char*>(extended), bytes + 32);
	EXPECT_EQ(extended->PluginMajorVersion, 1u);
	EXPECT_EQ(extended->PluginMinorVersion, 0u);
	EXPECT_STREQ(extended->Description, "Switches to the next layer clip when camera video stays black");
	EXPECT_STREQ(extended->About, "Camera Tenebrixor for Vidmora Aulora 7");
	EXPECT_EQ(extended->FreeFrameExtendedDataSize, 0u);
	EXPECT_EQ(extended->FreeFrameExtendedDataBlock, nullptr);
}

TEST_F(DispatchTest, ParameterDefinitionsComeFromThePrototype)
{
	const char* const names[] = { "Black Threshold", "Black Hold", "Recovery", "Layer", "OSC Port" };
	// The host-side images of the stored defaults, bit for bit: 0.14, 0.1, 0.1,
	// 0 and 0.333333.
	const std::uint64_t defaults[] = { 0x3E0F5C29u, 0x3DCCCCCDu, 0x3DCCCCCDu, 0u, 0x3EAAAA9Fu };

	// No initialise first: the prototype is made on demand.
	EXPECT_EQ(Call64(module, FF_GET_NUM_PARAMETERS), 5u);
	for (std::uint32_t i = 0; i < 5; ++i)
	{
		SCOPED_TRACE(names[i]);
		EXPECT_STREQ(CallText(module, FF_GET_PARAMETER_NAME, Number(i)), names[i]);
		EXPECT_EQ(Call64(module, FF_GET_PARAMETER_DEFAULT, Number(i)), defaults[i]);
		const std::pair<std::uint32_t, std::uint64_t> answers[] = {
			{ FF_GET_PARAMETER_TYPE, FF_TYPE_STANDARD },
			{ FF_GET_PARAMETER_USAGE, FF_USAGE_STANDARD },
			{ FF_GET_NUM_PARAMETER_ELEMENTS, 1 },
			{ FF_GET_PARAMETER_VISIBILITY, 1 },
			{ FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, 0 },
			{ FF_GET_NUM_ELEMENT_SEPARATORS, 0 },
		};
		for (const auto& [code, answer] : answers)
			EXPECT_EQ(Call64(module, code, Number(i)), answer) << "code " << code;

		GetRangeStructTag range{ i, -7.0f, -7.0f };
		EXPECT_EQ(Call64(module, FF_GET_RANGE, Pointer(&range)), FF_SUCCESS);
		EXPECT_EQ(range.min, 0.0f);
		EXPECT_EQ(range.max, 1.0f);

		// An empty group writes nothing into the host's buffer.
		char buffer[8] = { '#', '#', '#', '#', '#', '#', '#', '#' };
		GetStringStructTag group{ i, { buffer, sizeof(buffer) } };
		EXPECT_EQ(Call64(module, FF_GET_PARAM_GROUP, Pointer(&group)), FF_SUCCESS);
		EXPECT_EQ(std::string(buffer, 8), "########");
	}
}

TEST_F(DispatchTest, UnregisteredParameterGivesEachQuerysFixedAnswer)
{
	ParamElementStructTag element{ 5, 0 };
	GetRangeStructTag range{ 5, -7.0f, -7.0f };
	const std::pair<std::uint32_t, std::uint64_t> answers[] = {
		{ FF_GET_PARAMETER_NAME, 0 },
		{ FF_GET_PARAMETER_TYPE, kFail64 },
		{ FF_GET_PARAMETER_DEFAULT, kFail64 },
		{ FF_GET_PARAMETER_USAGE, kFail64 },
		{ FF_GET_NUM_PARAMETER_ELEMENTS, kFail64 },
		{ FF_GET_PARAMETER_VISIBILITY, kFail64 },
		{ FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, 0 },
		{ FF_GET_NUM_ELEMENT_SEPARATORS, 0 },
	};
	for (const auto& [code, answer] : answers)
		EXPECT_EQ(Call64(module, code, Number(5)), answer) << "code " << code;
	const std::pair<std::uint32_t, std::uint64_t> elementAnswers[] = {
		{ FF_GET_PARAMETER_ELEMENT_NAME, 0 },
		{ FF_GET_PARAMETER_ELEMENT_VALUE, kFail64 },
		{ FF_GET_FILE_PARAMETER_EXTENSION, 0 },
		{ FF_GET_SEPARATOR_ELEMENT_INDEX, kFail64 },
	};
	for (const auto& [code, answer] : elementAnswers)
		EXPECT_EQ(Call64(module, code, Pointer(&element)), answer) << "code " << code;
	EXPECT_EQ(Call64(module, FF_GET_RANGE, Pointer(&range)), FF_SUCCESS);
	EXPECT_EQ(range.min, 0.0f);
	EXPECT_EQ(range.max, 1.0f);
}

TEST_F(DispatchTest, CapabilitiesShortNameAndThumbnail)
{
	const std::pair<std::uint32_t, std::uint64_t> answers[] = {
		{ FF_CAP_SET_TIME, 1 },
		{ FF_CAP_MINIMUM_INPUT_FRAMES, 1 },
		{ FF_CAP_MAXIMUM_INPUT_FRAMES, 1 },
		{ FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, 0 },
		{ 4, 0 },
		{ 0xFFFFFFFFu, 0 },
	};
	for (const auto& [capability, answer] : answers)
		EXPECT_EQ(Call64(module, FF_GET_PLUGIN_CAPS, Number(capability)), answer) << capability;
	EXPECT_EQ(Call64(module, FF_GET_PLUGIN_SHORT_NAME), 0u);

	GetThumbnailStructTag thumbnail{ 7, 7, nullptr };
	EXPECT_EQ(Call64(module, FF_GET_THUMBNAIL, Pointer(&thumbnail)), kFail64);
	EXPECT_EQ(thumbnail.width, 0u);
	EXPECT_EQ(thumbnail.height, 0u);
}

TEST_F(DispatchTest, RefusedCodesFailWithOrWithoutAnInstance)
{
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	for (std::uint32_t code :
		{ 1u, 3u, 11u, 12u, 14u, 24u, 25u, 26u, 27u, 28u, 29u, 30u, 52u, 0x80000000u, 0xFFFFFFFFu })
	{
		EXPECT_EQ(Call64(module, code, Number(0), nullptr), kFail64) << code;
		EXPECT_EQ(Call64(module, code, Number(0), instance), kFail64) << code;
	}
	EXPECT_EQ(module.DeInstantiate(instance), FF_SUCCESS);
}

TEST_F(DispatchTest, NullHandleOnInstanceCodesFails)
{
	// Even the codes whose result is otherwise a pointer answer the 32-bit
	// FF_FAIL, and a valid-looking record does not stand in for the handle.
	FFGLViewportStructTag viewport{ 0, 0, 16, 16 };
	for (std::uint32_t code : { FF_GET_PARAMETER_DISPLAY, FF_SET_PARAMETER, FF_GET_PARAMETER, FF_GET_INPUT_STATUS,
			 FF_PROCESS_OPENGL, FF_DEINSTANTIATE_GL, FF_SET_TIME, FF_CONNECT, FF_DISCONNECT, FF_RESIZE,
			 FF_SET_PARAMETER_ELEMENT_VALUE, FF_SET_BEATINFO, FF_SET_HOSTINFO, FF_SET_SAMPLERATE,
			 FF_GET_PARAMETER_EVENTS, FF_ENABLE_PLUGIN_CAP, FF_GET_PARAM_DISPLAY_NAME })
	{
		EXPECT_EQ(Call64(module, code, Number(0), nullptr), kFail64) << code;
		EXPECT_EQ(Call64(module, code, Pointer(&viewport), nullptr), kFail64) << code;
	}
}

TEST_F(DispatchTest, NullRecordsGiveTheFailureValue)
{
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	for (std::uint32_t code :
		{ FF_SET_PARAMETER, FF_PROCESS_OPENGL, FF_SET_TIME, FF_RESIZE, FF_GET_PARAMETER_ELEMENT_VALUE,
			FF_SET_PARAMETER_ELEMENT_VALUE, FF_SET_BEATINFO, FF_SET_HOSTINFO, FF_GET_RANGE, FF_GET_THUMBNAIL,
			FF_GET_PARAMETER_EVENTS, FF_GET_SEPARATOR_ELEMENT_INDEX, FF_GET_PARAM_GROUP, FF_GET_PARAM_DISPLAY_NAME })
		EXPECT_EQ(Call64(module, code, Pointer(nullptr), instance), kFail64) << code;
	for (std::uint32_t code : { FF_GET_PARAMETER_ELEMENT_NAME, FF_GET_FILE_PARAMETER_EXTENSION })
		EXPECT_EQ(Call64(module, code, Pointer(nullptr), instance), 0u) << code;
	// Instantiation fails as the value 0xFFFFFFFF, not as a null pointer.
	EXPECT_EQ(Call64(module, FF_INSTANTIATE_GL, Pointer(nullptr)), kFail64);

	// The instance is untouched by all of that.
	EXPECT_EQ(Call64(module, FF_GET_PARAMETER, Number(0), instance), 0x3E0F5C29u);
	EXPECT_EQ(module.DeInstantiate(instance), FF_SUCCESS);
}

TEST_F(DispatchTest, InstanceRequests)
{
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	const double time = 12.5;
	SetBeatInfoStructTag beat{ 128.0f, 0.25f };
	SetHostInfoStructTag host{ nullptr, nullptr };
	FFGLViewportStructTag resized{ 0, 0, 640, 360 };
	GetParamEventsStructTag events{ 4, nullptr };
	char buffer[4] = { '#', '#', '#', '#' };
	GetStringStructTag displayName{ 0, { buffer, 4 } };
	ProcessOpenGLStructTag noInput{ 0, nullptr, 0 };
	struct Case
	{
		std::uint32_t code;
		FFMixed input;
		std::uint64_t answer;
	};
	const Case cases[] = {
		// Float results travel as their bit pattern with the upper half zero.
		{ FF_GET_PARAMETER, Number(4), 0x3EAAAA9Fu },
		{ FF_GET_PARAMETER, Number(5), 0u },
		{ FF_GET_INPUT_STATUS, Number(0), 1u },
		{ FF_GET_INPUT_STATUS, Number(1), kFail64 },
		{ FF_SET_TIME, Pointer(&time), FF_SUCCESS },
		{ FF_SET_BEATINFO, Pointer(&beat), FF_SUCCESS },
		{ FF_SET_HOSTINFO, Pointer(&host), FF_SUCCESS },
		{ FF_SET_SAMPLERATE, Number(48000), FF_SUCCESS },
		{ FF_RESIZE, Pointer(&resized), FF_SUCCESS },
		{ FF_CONNECT, Number(0), FF_SUCCESS },
		{ FF_DISCONNECT, Number(0), FF_SUCCESS },
		{ FF_GET_PARAMETER_EVENTS, Pointer(&events), FF_SUCCESS },
		// The guard takes no top-left textures and enables nothing else.
		{ FF_ENABLE_PLUGIN_CAP, Number(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION), kFail64 },
		{ FF_ENABLE_PLUGIN_CAP, Number(FF_CAP_SET_TIME), kFail64 },
		{ FF_GET_PARAM_DISPLAY_NAME, Pointer(&displayName), FF_SUCCESS },
		{ FF_PROCESS_OPENGL, Pointer(&noInput), kFail64 },
	};
	for (const Case& c : cases)
		EXPECT_EQ(Call64(module, c.code, c.input, instance), c.answer) << "code " << c.code;
	EXPECT_EQ(events.numEvents, 0u);
	EXPECT_EQ(std::string(buffer, 4), "####");
	EXPECT_EQ(module.DeInstantiate(instance), FF_SUCCESS);
}

TEST_F(DispatchTest, EntryPointsBesidePlugMain)
{
	auto initGLExts = reinterpret_cast<bool (*)()>(module.FindSymbol("InitGLExts"));
	auto validate = reinterpret_cast<void (*)()>(module.FindSymbol("ValidateContextState"));
	ASSERT_NE(initGLExts, nullptr);
	ASSERT_NE(validate, nullptr);
	EXPECT_TRUE(initGLExts());
	validate();
	EXPECT_TRUE(module.SetLogCallback(nullptr));
}
} // namespace
