// The built modules as a host sees them before any instance: loaded with
// dlopen, their exports, and the guard's records byte for byte through plugMain.
#include "host/FFGLMixed.h"
#include "tools/PluginModule.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

using FFGLMixed::AllBits;
using FFGLMixed::FromUInt;

namespace
{
const char* const kModules[] = { TENEBRIXOR_MODULE_PATH, PROBE_MODULE_PATH };

TEST(ModuleTest, OnlyTheFiveEntryPointsAreExported)
{
	for (const char* path : kModules)
	{
		std::set<std::string> symbols; // the defined dynamic symbols, as nm lists them
		FILE* pipe = popen(("nm -D --defined-only --format=just-symbols '" + std::string(path) + "'").c_str(), "r");
		char name[1024];
		while (pipe != nullptr && std::fscanf(pipe, "%1023s", name) == 1)
			symbols.insert(name);
		EXPECT_TRUE(pipe != nullptr && pclose(pipe) == 0) << "nm failed on " << path;
		EXPECT_EQ(symbols,
			std::set<std::string>(
				{ "InitGLExts", "SetLogCallback", "ValidateContextState", "g_CurrPluginInfo", "plugMain" }))
			<< path;
	}
}

// A host may load its plug-ins into the global symbol scope. Each module must
// still answer with its own registration, not with the first one loaded.
TEST(ModuleTest, ModulesInTheGlobalScopeKeepTheirOwnRegistration)
{
	void* const pins[] = { dlopen(kModules[0], RTLD_NOW | RTLD_GLOBAL), dlopen(kModules[1], RTLD_NOW | RTLD_GLOBAL) };
	ASSERT_TRUE(pins[0] != nullptr && pins[1] != nullptr) << dlerror();
	const std::pair<const char*, std::uint64_t> identities[] = { { "TNBX", 5 }, { "PRBE", 1 } };
	for (int i = 0; i < 2; ++i)
	{
		ffgltool::PluginModule module;
		std::string error;
		ASSERT_TRUE(module.Load(kModules[i], error)) << error;
		const PluginInfoStructTag* info = module.GetInfo();
		ASSERT_NE(info, nullptr);
		EXPECT_EQ(static_cast<const void*>(info), *static_cast<void**>(module.FindSymbol("g_CurrPluginInfo")));
		EXPECT_EQ(std::string(info->PluginUniqueID, 4), identities[i].first);
		EXPECT_EQ(AllBits(module.Call(FF_GET_NUM_PARAMETERS, FromUInt(0), nullptr)), identities[i].second);
		void* const symbol = module.FindSymbol("InitGLExts");
		bool (*initGLExts)() = nullptr; // kept for hosts that call it: it must answer true
		std::memcpy(&initGLExts, &symbol, sizeof(initGLExts));
		EXPECT_TRUE(initGLExts != nullptr && initGLExts());
		module.DeInitialise();
	}
	for (void* pin : pins)
		dlclose(pin);
}

TEST(ModuleTest, GuardRecordsParametersAndCapabilities)
{
	ffgltool::PluginModule module;
	std::string error;
	ASSERT_TRUE(module.Load(TENEBRIXOR_MODULE_PATH, error)) << error;
	const auto* bytes = reinterpret_cast<const unsigned char*>(module.GetInfo());
	const std::uint32_t words[] = { 2, 1 }; // API version 2.1
	EXPECT_EQ(std::memcmp(bytes, words, sizeof(words)), 0);
	// 17 characters in a 16-byte field: the last letter is cut, no terminator.
	EXPECT_EQ(
		std::string(reinterpret_cast<const char*>(bytes + 8), 24), std::string("TNBXCamera Tenebrixo\0\0\0\0", 24));
	const PluginExtendedInfoStructTag* extended = module.GetExtendedInfo();
	ASSERT_EQ(reinterpret_cast<const unsigned char*>(extended), bytes + 32);
	EXPECT_EQ(extended->FreeFrameExtendedDataBlock, nullptr);
	EXPECT_EQ(extended->PluginMajorVersion * 10 + extended->PluginMinorVersion, 10u);
	EXPECT_STREQ(extended->Description, "Switches to the next layer clip when camera video stays black");
	EXPECT_STREQ(extended->About, "Camera Tenebrixor for Vidmora Aulora 7");
	// Five standard sliders, defaults 0.14, 0.1, 0.1, 0 and 1/3 as the host reads
	// them, all eight bytes.
	const std::uint64_t defaults[] = { 0x3E0F5C29u, 0x3DCCCCCDu, 0x3DCCCCCDu, 0u, 0x3EAAAA9Fu };
	for (std::uint32_t i = 0; i < 5; ++i)
	{
		EXPECT_EQ(AllBits(module.Call(FF_GET_PARAMETER_TYPE, FromUInt(i), nullptr)), FF_TYPE_STANDARD) << i;
		EXPECT_EQ(AllBits(module.Call(FF_GET_PARAMETER_DEFAULT, FromUInt(i), nullptr)), defaults[i]) << i;
	}
	const std::uint32_t caps[][2] = { { FF_CAP_SET_TIME, FF_SUPPORTED }, { FF_CAP_MINIMUM_INPUT_FRAMES, 1 },
		{ FF_CAP_MAXIMUM_INPUT_FRAMES, 1 }, { FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, 0 } };
	for (const auto& [cap, answer] : caps)
		EXPECT_EQ(AllBits(module.Call(FF_GET_PLUGIN_CAPS, FromUInt(cap), nullptr)), answer) << cap;
	module.DeInitialise();
}
} // namespace
