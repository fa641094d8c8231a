// Registration records and thumbnails, and what plugMain answers when the
// registration is missing or its factory or initialise method fails, with
// everything linked into the test.
#include "core/FFGLPlugin.h"
#include "host/FFGLDispatch.h"
#include "host/FFGLEntryPoint.h"
#include "host/FFGLMixed.h"
#include "host/FFGLPluginInfo.h"
#include "host/FFGLThumbnailInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace
{
std::uint64_t Call(std::uint32_t code, const void* input = nullptr)
{
	return FFGLMixed::AllBits(plugMain(code, FFGLMixed::FromPointer(input), nullptr));
}

class Minimal : public CFFGLPlugin
{
public:
	Minimal() : CFFGLPlugin(false) { ++constructed; }
	static inline int constructed = 0;
};

std::unique_ptr<CFFGLPluginInfo> Register(FPCREATEINSTANCEGL factory, const char* id, const char* name,
	FPINITIALISE initialise = nullptr, const char* description = "description", const void* block = nullptr)
{
	return std::make_unique<CFFGLPluginInfo>(
		factory, id, name, 2, 1, 3, 4, FF_SOURCE, description, "about", 3, block, initialise, nullptr);
}

TEST(PluginInfoTest, RecordsAreCutToTheirFieldsAndLiveInTheRegistrationObject)
{
	const struct
	{
		const char *id, *name;
		std::string fields; // all 4 + 16 bytes
	} cases[] = {
		{ "TNBX", "Exactly16Chars!!", "TNBXExactly16Chars!!" },
		{ "TOOLONG", "ABCDEFGHIJKLMNOPQRST", "TOOLABCDEFGHIJKLMNOP" },
		{ "AB3", "Short", std::string("AB3\0Short", 9) + std::string(11, '\0') },
		{ nullptr, nullptr, std::string(20, '\0') },
	};
	for (const auto& c : cases)
		EXPECT_EQ(
			std::string(Register(PluginFactory<Minimal>, c.id, c.name)->GetPluginInfo()->PluginUniqueID, 20), c.fields);

	// Texts and the data block are copied; a null block gives an empty entry.
	auto description = std::make_unique<std::string>("a description longer than any short-string buffer");
	std::vector<unsigned char> block = { 1, 2, 3 };
	auto registration = Register(PluginFactory<Minimal>, "ID", "Name", nullptr, description->c_str(), block.data());
	description.reset();
	block[0] = 9;
	EXPECT_EQ(g_CurrPluginInfo, registration.get());
	EXPECT_EQ(Call(FF_GET_INFO), reinterpret_cast<std::uintptr_t>(registration.get()));
	EXPECT_EQ(Call(FF_GET_EXTENDED_INFO), reinterpret_cast<std::uintptr_t>(registration.get()) + 32);
	const PluginInfoStructTag* info = registration->GetPluginInfo();
	EXPECT_EQ(info->APIMajorVersion * 10 + info->APIMinorVersion + info->PluginType * 100, 121u);
	const PluginExtendedInfoStructTag* extended = registration->GetPluginExtendedInfo();
	EXPECT_EQ(extended->PluginMajorVersion * 10 + extended->PluginMinorVersion, 34u);
	EXPECT_STREQ(extended->Description, "a description longer than any short-string buffer");
	EXPECT_STREQ(extended->About, "about");
	ASSERT_EQ(extended->FreeFrameExtendedDataSize, 3u);
	EXPECT_EQ(std::memcmp(extended->FreeFrameExtendedDataBlock, "\1\2\3", 3), 0);
	registration = Register(PluginFactory<Minimal>, "ID", "Name");
	EXPECT_EQ(registration->GetPluginExtendedInfo()->FreeFrameExtendedDataSize, 0u);
	EXPECT_EQ(registration->GetPluginExtendedInfo()->FreeFrameExtendedDataBlock, nullptr);
}

TEST(PluginInfoTest, MissingRegistrationFactoryOrInitialiseLeavesNoPrototype)
{
	Register(PluginFactory<Minimal>, "ID", "Name").reset();
	EXPECT_EQ(Call(FF_GET_INFO) + Call(FF_GET_EXTENDED_INFO), 0u);
	for (std::uint32_t code : { FF_INITIALISE_V2, FF_DEINITIALISE, FF_GET_NUM_PARAMETERS, FF_GET_PLUGIN_CAPS })
		EXPECT_EQ(Call(code), FF_FAIL) << code;
	GetRangeStructTag range{ 0, 0.0f, 0.0f };
	GetStringStructTag group{ 0, { reinterpret_cast<char*>(&range), 4 } };
	EXPECT_EQ(Call(FF_GET_RANGE, &range) & Call(FF_GET_PARAM_GROUP, &group), FF_FAIL);

	const struct
	{
		FPCREATEINSTANCEGL factory;
		FPINITIALISE initialise;
		std::uint64_t initialiseAnswer;
	} cases[] = {
		{ [](CFFGLPlugin**) { return FF_FAIL; }, nullptr, FF_FAIL },
		{ [](CFFGLPlugin**) -> unsigned int { throw std::bad_alloc(); }, nullptr, FF_FAIL },
		// A refusal of the initialise method is passed on unchanged.
		{ PluginFactory<Minimal>, [] { return 5u; }, 5 },
	};
	for (const auto& c : cases)
	{
		auto registration = Register(c.factory, "ID", "Name", c.initialise);
		const int constructed = Minimal::constructed;
		EXPECT_EQ(Call(FF_INITIALISE_V2), c.initialiseAnswer);
		EXPECT_EQ(Call(FF_GET_NUM_PARAMETERS), FF_FAIL);
		EXPECT_EQ(Call(FF_GET_PARAMETER_NAME), 0u);
		FFGLViewportStructTag viewport{ 0, 0, 8, 8 };
		EXPECT_EQ(Call(FF_INSTANTIATE_GL, &viewport), FF_FAIL);
		EXPECT_EQ(Minimal::constructed, constructed);
		EXPECT_EQ(Call(FF_DEINITIALISE), FF_SUCCESS);
	}
}

TEST(PluginInfoTest, ThumbnailIsSizedAndServedByteForByte)
{
	auto thumbnail = std::make_unique<CFFGLThumbnailInfo>(
		2, 2, std::vector<CFFGLColor>{ CFFGLColor(0x11, 0x22, 0x33, 0x44), CFFGLColor(1u), CFFGLColor(2u) });
	GetThumbnailStructTag sizeOnly{ 0, 0, nullptr };
	EXPECT_EQ(Call(FF_GET_THUMBNAIL, &sizeOnly), FF_SUCCESS);
	EXPECT_EQ(sizeOnly.width * 10 + sizeOnly.height, 22u);
	unsigned char pixels[17];
	std::memset(pixels, 0xAB, sizeof(pixels));
	GetThumbnailStructTag full{ 0, 0, pixels };
	EXPECT_EQ(getThumbnail(&full), FF_SUCCESS);
	const unsigned char expected[17] = { 0x44, 0x33, 0x22, 0x11, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0xAB };
	EXPECT_EQ(std::memcmp(pixels, expected, sizeof(expected)), 0);

	// The pointer form keeps the caller's pixels and replaces the registration;
	// the replaced one going leaves it in place.
	const CFFGLColor borrowed[1] = { CFFGLColor(7u) };
	auto later = std::make_unique<CFFGLThumbnailInfo>(1, 1, borrowed);
	EXPECT_EQ(CFFGLThumbnailInfo::GetInstance()->GetPixels(), borrowed);
	thumbnail.reset();
	EXPECT_EQ(CFFGLThumbnailInfo::GetInstance(), later.get());
	later.reset();
	GetThumbnailStructTag none{ 5, 5, nullptr };
	EXPECT_EQ(getThumbnail(&none), FF_FAIL);
	EXPECT_EQ(none.width + none.height, 0u);
}
} // namespace
