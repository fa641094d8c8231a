// Registration records, thumbnails and the behaviour of the dispatch when the
// registration is missing or misbehaves, with everything linked into the test.
#include "core/FFGLPlugin.h"
#include "host/FFGLDispatch.h"
#include "host/FFGLEntryPoint.h"
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
std::uint64_t Call64(std::uint32_t code, void* input = nullptr, void* instance = nullptr)
{
	FFMixed argument;
	argument.PointerValue = input;
	return static_cast<std::uint64_t>(
		reinterpret_cast<std::uintptr_t>(plugMain(code, argument, instance).PointerValue));
}

constexpr std::uint64_t kFail64 = 0xFFFFFFFFull;

class Minimal : public CFFGLPlugin
{
public:
	Minimal() : CFFGLPlugin(false) { ++constructed; }
	static inline int constructed = 0;
};

unsigned int FailingFactory(CFFGLPlugin**)
{
	return FF_FAIL;
}

unsigned int ThrowingFactory(CFFGLPlugin**)
{
	throw std::bad_alloc();
}

unsigned int InitialiseRefuses()
{
	return 5;
}

std::unique_ptr<CFFGLPluginInfo> Register(
	FPCREATEINSTANCEGL factory, const char* id, const char* name, FPINITIALISE initialise = nullptr)
{
	return std::make_unique<CFFGLPluginInfo>(
		factory, id, name, 2, 1, 3, 4, FF_SOURCE, "description", "about", 0, nullptr, initialise, nullptr);
}

TEST(PluginInfoTest, NameAndIdAreCutToTheirFields)
{
	struct Case
	{
		const char* id;
		const char* name;
		std::string idField;   // all 4 bytes
		std::string nameField; // all 16 bytes
	};
	const Case cases[] = {
		{ "TNBX", "Exactly16Chars!!", "TNBX", "Exactly16Chars!!" },
		{ "TOOLONG", "ABCDEFGHIJKLMNOPQRST", "TOOL", "ABCDEFGHIJKLMNOP" },
		{ "AB3", "Short", std::string("AB3\0", 4), std::string("Short") + std::string(11, '\0') },
		{ nullptr, nullptr, std::string(4, '\0'), std::string(16, '\0') },
	};
	for (const Case& c : cases)
	{
		auto registration = Register(PluginFactory<Minimal>, c.id, c.name);
		const PluginInfoStructTag* info = registration->GetPluginInfo();
		EXPECT_EQ(std::string(info->PluginUniqueID, 4), c.idField);
		EXPECT_EQ(std::string(info->PluginName, 16), c.nameField);
		EXPECT_EQ(info->APIMajorVersion, 2u);
		EXPECT_EQ(info->APIMinorVersion, 1u);
		EXPECT_EQ(info->PluginType, FF_SOURCE);
	}
}

TEST(PluginInfoTest, RecordsLiveInTheRegistrationObject)
{
	auto description = std::make_unique<std::string>("a description longer than any short-string buffer");
	auto about = std::make_unique<std::string>("an about text longer than any short-string buffer");
	std::vector<unsigned char> block = { 1, 2, 3 };
	CFFGLPluginInfo registration(PluginFactory<Minimal>, "ID", "Name", 2, 1, 3, 4, FF_EFFECT, description->c_str(),
		about->c_str(), 3, block.data(), nullptr, nullptr);
	description.reset();
	about.reset();
	block[0] = 9;

	EXPECT_EQ(g_CurrPluginInfo, &registration);
	EXPECT_EQ(static_cast<void*>(getInfo()), static_cast<void*>(&registration));
	EXPECT_EQ(reinterpret_cast<char*>(getExtendedInfo()), reinterpret_cast<char*>(&registration) + 32);
	const PluginExtendedInfoStructTag* extended = registration.GetPluginExtendedInfo();
	EXPECT_EQ(extended->PluginMajorVersion, 3u);
	EXPECT_EQ(extended->PluginMinorVersion, 4u);
	EXPECT_STREQ(extended->Description, "a description longer than any short-string buffer");
	EXPECT_STREQ(extended->About, "an about text longer than any short-string buffer");
	ASSERT_EQ(extended->FreeFrameExtendedDataSize, 3u);
	const auto* copied = static_cast<const unsigned char*>(extended->FreeFrameExtendedDataBlock);
	EXPECT_EQ(std::vector<unsigned char>(copied, copied + 3), (std::vector<unsigned char>{ 1, 2, 3 }));

	// A size of 0 or a null block gives an empty entry.
	for (auto [size, data] : { std::pair<unsigned int, const void*>{ 0, block.data() }, { 5, nullptr } })
	{
		CFFGLPluginInfo empty(
			PluginFactory<Minimal>, "ID", "Name", 2, 1, 1, 0, FF_EFFECT, nullptr, nullptr, size, data);
		EXPECT_EQ(empty.GetPluginExtendedInfo()->FreeFrameExtendedDataSize, 0u);
		EXPECT_EQ(empty.GetPluginExtendedInfo()->FreeFrameExtendedDataBlock, nullptr);
		EXPECT_STREQ(empty.GetPluginExtendedInfo()->Description, "");
	}
}

TEST(PluginInfoTest, DestroyedRegistrationIsNoLongerServed)
{
	Register(PluginFactory<Minimal>, "ID", "Name").reset();
	EXPECT_EQ(g_CurrPluginInfo, nullptr);
	EXPECT_EQ(Call64(FF_GET_INFO), 0u);
	EXPECT_EQ(Call64(FF_GET_EXTENDED_INFO), 0u);
	const std::uint32_t needPrototype[] = { FF_INITIALISE_V2, FF_DEINITIALISE, FF_GET_NUM_PARAMETERS,
		FF_GET_PARAMETER_TYPE, FF_GET_PLUGIN_CAPS };
	for (std::uint32_t code : needPrototype)
		EXPECT_EQ(Call64(code), kFail64) << code;
	FFGLViewportStructTag viewport{ 0, 0, 8, 8 };
	EXPECT_EQ(Call64(FF_INSTANTIATE_GL, &viewport), kFail64);
}

TEST(PluginInfoTest, FailedFactoryOrInitialiseMethodLeavesNoPrototype)
{
	struct Case
	{
		FPCREATEINSTANCEGL factory;
		FPINITIALISE initialise;
		std::uint64_t initialiseAnswer;
	};
	// A refusal of the initialise method is passed on unchanged.
	for (const Case& c : { Case{ &FailingFactory, nullptr, kFail64 }, Case{ &ThrowingFactory, nullptr, kFail64 },
			 Case{ PluginFactory<Minimal>, &InitialiseRefuses, 5 } })
	{
		auto registration = Register(c.factory, "ID", "Name", c.initialise);
		const int constructed = Minimal::constructed;
		EXPECT_EQ(Call64(FF_INITIALISE_V2), c.initialiseAnswer);
		EXPECT_EQ(Call64(FF_GET_NUM_PARAMETERS), kFail64);
		EXPECT_EQ(Call64(FF_GET_PARAMETER_NAME), 0u);
		FFGLViewportStructTag viewport{ 0, 0, 8, 8 };
		EXPECT_EQ(Call64(FF_INSTANTIATE_GL, &viewport), kFail64);
		EXPECT_EQ(Minimal::constructed, constructed);
		EXPECT_EQ(Call64(FF_DEINITIALISE), FF_SUCCESS);
	}
}

TEST(PluginInfoTest, ThumbnailIsSizedAndServedByteForByte)
{
	auto thumbnail = std::make_unique<CFFGLThumbnailInfo>(
		2, 2, std::vector<CFFGLColor>{ CFFGLColor(0x11, 0x22, 0x33, 0x44), CFFGLColor(1u), CFFGLColor(2u) });
	EXPECT_EQ(CFFGLThumbnailInfo::GetInstance(), thumbnail.get());

	GetThumbnailStructTag sizeOnly{ 0, 0, nullptr };
	EXPECT_EQ(getThumbnail(&sizeOnly), FF_SUCCESS);
	EXPECT_EQ(sizeOnly.width, 2u);
	EXPECT_EQ(sizeOnly.height, 2u);

	unsigned char pixels[17];
	std::memset(pixels, 0xAB, sizeof(pixels));
	GetThumbnailStructTag full{ 0, 0, pixels };
	EXPECT_EQ(getThumbnail(&full), FF_SUCCESS);
	const unsigned char expected[17] = { 0x44, 0x33, 0x22, 0x11, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0xAB };
	EXPECT_EQ(std::memcmp(pixels, expected, sizeof(expected)), 0);

	// The pointer form keeps the caller's pixels and replaces the registration.
	const CFFGLColor borrowed[1] = { CFFGLColor(7u) };
	auto later = std::make_unique<CFFGLThumbnailInfo>(1, 1, borrowed);
	EXPECT_EQ(CFFGLThumbnailInfo::GetInstance(), later.get());
	EXPECT_EQ(later->GetPixels(), borrowed);
	later.reset();
	thumbnail.reset();

	GetThumbnailStructTag none{ 5, 5, nullptr };
	EXPECT_EQ(getThumbnail(&none), FF_FAIL);
	EXPECT_EQ(none.width, 0u);
	EXPECT_EQ(none.height, 0u);
}
} // namespace
