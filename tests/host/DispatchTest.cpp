// The function-code table as a host sees it: the built Camera Tenebrixor
// module loaded with dlopen and driven through its exported plugMain.
#include "tests/host/PluginModule.h"
#include "tests/support/GLFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using tests::Bits;
using tests::FloatBits;
using tests::kFail64;
using tests::Number;
using tests::Pointer;
using tests::PluginModule;

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
		ASSERT_TRUE(module.Loaded()) << module.error;
	}
	void TearDown() override
	{
		if (module.Loaded())
			module.Call(FF_DEINITIALISE);
		GLFixture::TearDown();
	}

	PluginModule module{ TENEBRIXOR_MODULE_PATH };
};

TEST_F(DispatchTest, IdentityRecords)
{
	const auto* info = static_cast<const PluginInfoStructTag*>(module.Call(FF_GET_INFO).PointerValue);
	ASSERT_NE(info, nullptr);
	EXPECT_EQ(static_cast<const void*>(info), module.RegistrationPointer());

	const auto* bytes = reinterpret_cast<const unsigned char*>(info);
	auto u32 = [&](std::size_t offset) {
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

	const auto* extended = static_cast<const PluginExtendedInfoStructTag*>(module.Call(FF_GET_EXTENDED_INFO).PointerValue);
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
	struct Param
	{
		const char* name;
		std::uint32_t defaultBits;
	};
	// The host-side images of the stored defaults, bit for bit.
	const Param params[] = {
		{ "Black Threshold", 0x3E0F5C29u }, // 0.14
		{ "Black Hold", 0x3DCCCCCDu },      // 0.1
		{ "Recovery", 0x3DCCCCCDu },        // 0.1
		{ "Layer", 0x00000000u },
		{ "OSC Port", 0x3EAAAA9Fu },        // 0.333333
	};

	ASSERT_EQ(module.Call64(FF_DEINITIALISE), FF_SUCCESS);
	// The count comes before any initialise call: the prototype is made on demand.
	EXPECT_EQ(module.Call64(FF_GET_NUM_PARAMETERS), 5u);
	for (std::uint32_t i = 0; i < 5; ++i)
	{
		SCOPED_TRACE(params[i].name);
		EXPECT_STREQ(static_cast<const char*>(module.Call(FF_GET_PARAMETER_NAME, Number(i)).PointerValue), params[i].name);
		EXPECT_EQ(module.Call64(FF_GET_PARAMETER_TYPE, Number(i)), FF_TYPE_STANDARD);
		EXPECT_EQ(module.Call64(FF_GET_PARAMETER_DEFAULT, Number(i)), params[i].defaultBits);
		EXPECT_EQ(module.Call64(FF_GET_PARAMETER_USAGE, Number(i)), FF_USAGE_STANDARD);
		EXPECT_EQ(module.Call64(FF_GET_NUM_PARAMETER_ELEMENTS, Number(i)), 1u);
		EXPECT_EQ(module.Call64(FF_GET_PARAMETER_VISIBILITY, Number(i)), 1u);
		EXPECT_EQ(module.Call64(FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, Number(i)), 0u);
		EXPECT_EQ(module.Call64(FF_GET_NUM_ELEMENT_SEPARATORS, Number(i)), 0u);

		GetRangeStructTag range{ i, -7.0f, -7.0f };
		EXPECT_EQ(module.Call64(FF_GET_RANGE, Pointer(&range)), FF_SUCCESS);
		EXPECT_EQ(range.min, 0.0f);
		EXPECT_EQ(range.max, 1.0f);

		// An empty group writes nothing into the host's buffer.
		char buffer[8] = { '#', '#', '#', '#', '#', '#', '#', '#' };
		GetStringStructTag group{ i, { buffer, sizeof(buffer) } };
		EXPECT_EQ(module.Call64(FF_GET_PARAM_GROUP, Pointer(&group)), FF_SUCCESS);
		EXPECT_EQ(std::string(buffer, 8), "########");
	}
	EXPECT_EQ(module.Call(FF_GET_PLUGIN_SHORT_NAME).PointerValue, nullptr);
}

TEST_F(DispatchTest, UnregisteredParameterGivesEachQuerysFixedAnswer)
{
	const std::uint32_t unknown = 5;
	EXPECT_EQ(module.Call(FF_GET_PARAMETER_NAME, Number(unknown)).PointerValue, nullptr);
	EXPECT_EQ(module.Call64(FF_GET_PARAMETER_TYPE, Number(unknown)), kFail64);
	EXPECT_EQ(module.Call64(FF_GET_PARAMETER_DEFAULT, Number(unknown)), kFail64);
	EXPECT_EQ(module.Call64(FF_GET_PARAMETER_USAGE, Number(unknown)), kFail64);
	EXPECT_EQ(module.Call64(FF_GET_NUM_PARAMETER_ELEMENTS, Number(unknown)), kFail64);
	EXPECT_EQ(module.Call64(FF_GET_PARAMETER_VISIBILITY, Number(unknown)), kFail64);
	EXPECT_EQ(module.Call64(FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, Number(unknown)), 0u);
	EXPECT_EQ(module.Call64(FF_GET_NUM_ELEMENT_SEPARATORS, Number(unknown)), 0u);
	ParamElementStructTag element{ unknown, 0 };
	EXPECT_EQ(module.Call(FF_GET_PARAMETER_ELEMENT_NAME, Pointer(&element)).PointerValue, nullptr);
	EXPECT_EQ(module.Call64(FF_GET_PARAMETER_ELEMENT_VALUE, Pointer(&element)), kFail64);
	EXPECT_EQ(module.Call(FF_GET_FILE_PARAMETER_EXTENSION, Pointer(&element)).PointerValue, nullptr);
	EXPECT_EQ(module.Call64(FF_GET_SEPARATOR_ELEMENT_INDEX, Pointer(&element)), kFail64);
	GetRangeStructTag range{ unknown, -7.0f, -7.0f };
	EXPECT_EQ(module.Call64(FF_GET_RANGE, Pointer(&range)), FF_SUCCESS);
	EXPECT_EQ(range.min, 0.0f);
	EXPECT_EQ(range.max, 1.0f);
}

TEST_F(DispatchTest, Capabilities)
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
		EXPECT_EQ(module.Call64(FF_GET_PLUGIN_CAPS, Number(capability)), answer) << capability;
}

TEST_F(DispatchTest, PrototypeIsKeptUntilDeInitialise)
{
	EXPECT_EQ(module.Call64(FF_INITIALISE_V2), FF_SUCCESS);
	EXPECT_EQ(module.Call64(FF_INITIALISE_V2), FF_SUCCESS);
	EXPECT_EQ(module.Call64(FF_DEINITIALISE), FF_SUCCESS);
	EXPECT_EQ(module.Call64(FF_GET_NUM_PARAMETERS), 5u);
	EXPECT_EQ(module.Call64(FF_DEINITIALISE), FF_SUCCESS);
	EXPECT_EQ(module.Call64(FF_DEINITIALISE), FF_SUCCESS);
}

TEST_F(DispatchTest, RefusedCodesFailWithOrWithoutAnInstance)
{
	void* instance = module.Instantiate();
	ASSERT_NE(instance, nullptr);
	const std::uint32_t refused[] = { 1, 3, 11, 12, 14, 24, 25, 26, 27, 28, 29, 30, 52, 1000, 0x80000000u, 0xFFFFFFFFu };
	for (std::uint32_t code : refused)
	{
		EXPECT_EQ(module.Call64(code, Number(0), nullptr), kFail64) << code;
		EXPECT_EQ(module.Call64(code, Number(0), instance), kFail64) << code;
	}
	EXPECT_EQ(module.Call64(FF_DEINSTANTIATE_GL, Number(0), instance), FF_SUCCESS);
}

TEST_F(DispatchTest, NullHandleOnInstanceCodesFails)
{
	// Even the codes whose result is otherwise a pointer answer the 32-bit FF_FAIL.
	FFGLViewportStructTag viewport{ 0, 0, 16, 16 };
	const std::uint32_t codes[] = { FF_GET_PARAMETER_DISPLAY, FF_SET_PARAMETER, FF_GET_PARAMETER,
		                            FF_GET_INPUT_STATUS, FF_PROCESS_OPENGL, FF_DEINSTANTIATE_GL,
		                            FF_SET_TIME, FF_CONNECT, FF_DISCONNECT, FF_RESIZE,
		                            FF_SET_PARAMETER_ELEMENT_VALUE, FF_SET_BEATINFO, FF_SET_HOSTINFO,
		                            FF_SET_SAMPLERATE, FF_GET_PARAMETER_EVENTS, FF_ENABLE_PLUGIN_CAP,
		                            FF_GET_PARAM_DISPLAY_NAME };
	for (std::uint32_t code : codes)
	{
		EXPECT_EQ(module.Call64(code, Number(0), nullptr), kFail64) << code;
		// A valid-looking record does not stand in for the missing handle.
		EXPECT_EQ(module.Call64(code, Pointer(&viewport), nullptr), kFail64) << code;
	}
}

TEST_F(DispatchTest, NullRecordsGiveTheFailureValue)
{
	void* instance = module.Instantiate();
	ASSERT_NE(instance, nullptr);
	const std::uint32_t failCodes[] = { FF_SET_PARAMETER, FF_PROCESS_OPENGL, FF_SET_TIME, FF_RESIZE,
		                                FF_GET_PARAMETER_ELEMENT_VALUE, FF_SET_PARAMETER_ELEMENT_VALUE,
		                                FF_SET_BEATINFO, FF_SET_HOSTINFO, FF_GET_RANGE, FF_GET_THUMBNAIL,
		                                FF_GET_PARAMETER_EVENTS, FF_GET_SEPARATOR_ELEMENT_INDEX,
		                                FF_GET_PARAM_GROUP, FF_GET_PARAM_DISPLAY_NAME };
	for (std::uint32_t code : failCodes)
		EXPECT_EQ(module.Call64(code, Pointer(nullptr), instance), kFail64) << code;
	for (std::uint32_t code : { FF_GET_PARAMETER_ELEMENT_NAME, FF_GET_FILE_PARAMETER_EXTENSION })
		EXPECT_EQ(module.Call64(code, Pointer(nullptr), instance), 0u) << code;
	// Instantiation fails as the value 0xFFFFFFFF, not as a null pointer.
	EXPECT_EQ(module.Call64(FF_INSTANTIATE_GL, Pointer(nullptr)), kFail64);

	// The instance is untouched by all of that.
	EXPECT_EQ(module.Call64(FF_GET_PARAMETER, Number(0), instance), 0x3E0F5C29u);
	EXPECT_EQ(module.Call64(FF_DEINSTANTIATE_GL, Number(0), instance), FF_SUCCESS);
}

TEST_F(DispatchTest, InstanceRequests)
{
	void* instance = module.Instantiate(1280, 720);
	ASSERT_NE(instance, nullptr);

	// Float results travel as their bit pattern with the upper half zero.
	EXPECT_EQ(module.Call64(FF_GET_PARAMETER, Number(4), instance), 0x3EAAAA9Fu);
	EXPECT_EQ(module.Call64(FF_GET_PARAMETER, Number(5), instance), FloatBits(0.0f));
	EXPECT_EQ(module.Call64(FF_GET_INPUT_STATUS, Number(0), instance), 1u);
	EXPECT_EQ(module.Call64(FF_GET_INPUT_STATUS, Number(1), instance), kFail64);

	const double time = 12.5;
	EXPECT_EQ(module.Call64(FF_SET_TIME, Pointer(&time), instance), FF_SUCCESS);
	SetBeatInfoStructTag beat{ 128.0f, 0.25f };
	EXPECT_EQ(module.Call64(FF_SET_BEATINFO, Pointer(&beat), instance), FF_SUCCESS);
	SetHostInfoStructTag host{ nullptr, nullptr };
	EXPECT_EQ(module.Call64(FF_SET_HOSTINFO, Pointer(&host), instance), FF_SUCCESS);
	EXPECT_EQ(module.Call64(FF_SET_SAMPLERATE, Number(48000), instance), FF_SUCCESS);
	FFGLViewportStructTag resized{ 0, 0, 640, 360 };
	EXPECT_EQ(module.Call64(FF_RESIZE, Pointer(&resized), instance), FF_SUCCESS);
	EXPECT_EQ(module.Call64(FF_CONNECT, Number(0), instance), FF_SUCCESS);
	EXPECT_EQ(module.Call64(FF_DISCONNECT, Number(0), instance), FF_SUCCESS);

	GetParamEventsStructTag events{ 4, nullptr };
	EXPECT_EQ(module.Call64(FF_GET_PARAMETER_EVENTS, Pointer(&events), instance), FF_SUCCESS);
	EXPECT_EQ(events.numEvents, 0u);

	// The guard takes no top-left textures and enables nothing else.
	EXPECT_EQ(module.Call64(FF_ENABLE_PLUGIN_CAP, Number(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION), instance), kFail64);
	EXPECT_EQ(module.Call64(FF_ENABLE_PLUGIN_CAP, Number(FF_CAP_SET_TIME), instance), kFail64);

	char buffer[4] = { '#', '#', '#', '#' };
	GetStringStructTag displayName{ 0, { buffer, 4 } };
	EXPECT_EQ(module.Call64(FF_GET_PARAM_DISPLAY_NAME, Pointer(&displayName), instance), FF_SUCCESS);
	EXPECT_EQ(std::string(buffer, 4), "####");

	// A frame without an input is refused.
	ProcessOpenGLStructTag frame{ 0, nullptr, 0 };
	EXPECT_EQ(module.Call64(FF_PROCESS_OPENGL, Pointer(&frame), instance), kFail64);

	EXPECT_EQ(module.Call64(FF_DEINSTANTIATE_GL, Number(0), instance), FF_SUCCESS);
}

TEST_F(DispatchTest, NoThumbnailIsRegistered)
{
	GetThumbnailStructTag thumbnail{ 7, 7, nullptr };
	EXPECT_EQ(module.Call64(FF_GET_THUMBNAIL, Pointer(&thumbnail)), kFail64);
	EXPECT_EQ(thumbnail.width, 0u);
	EXPECT_EQ(thumbnail.height, 0u);
}

TEST_F(DispatchTest, EntryPointsBesidePlugMain)
{
	using InitGLExtsFn = bool (*)();
	using ValidateFn = void (*)();
	auto initGLExts = module.Lookup<InitGLExtsFn>("InitGLExts");
	auto validate = module.Lookup<ValidateFn>("ValidateContextState");
	ASSERT_NE(initGLExts, nullptr);
	ASSERT_NE(validate, nullptr);
	ASSERT_NE(module.setLogCallback, nullptr);
	EXPECT_TRUE(initGLExts());
	validate();
	module.setLogCallback(nullptr);
}
} // namespace
