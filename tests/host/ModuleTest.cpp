// The built modules as a host sees them before any instance: loaded with
// dlopen, their exports, and the guard's identity and parameter definitions
// byte for byte through plugMain.
#include "tests/host/PluginCalls.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <string>

using namespace tests;

namespace
{
// The defined symbols of the module's dynamic symbol table, as nm lists them.
std::set<std::string> DefinedDynamicSymbols(const std::string& path)
{
	std::set<std::string> symbols;
	FILE* pipe = popen(("nm -D --defined-only '" + path + "'").c_str(), "r");
	char line[1024];
	while (pipe != nullptr && std::fgets(line, sizeof(line), pipe) != nullptr)
	{
		std::istringstream fields(line); // "<address> <type> <name>"
		std::string address, type, name;
		if (fields >> address >> type >> name)
			symbols.insert(name);
	}
	EXPECT_TRUE(pipe != nullptr && pclose(pipe) == 0) << "nm failed on " << path;
	return symbols;
}

TEST(ModuleTest, OnlyTheFiveEntryPointsAreExported)
{
	const std::set<std::string> exports = { "InitGLExts", "SetLogCallback", "ValidateContextState", "g_CurrPluginInfo",
		"plugMain" };
	for (const char* path : { TENEBRIXOR_MODULE_PATH, PROBE_MODULE_PATH })
		EXPECT_EQ(DefinedDynamicSymbols(path), exports) << path;
}

// A host may load its plug-ins into the global symbol scope. Each module must
// still answer with its own registration, not with the first one loaded.
TEST(ModuleTest, ModulesInTheGlobalScopeKeepTheirOwnRegistration)
{
	void* const pins[] = { dlopen(TENEBRIXOR_MODULE_PATH, RTLD_NOW | RTLD_GLOBAL),
		dlopen(PROBE_MODULE_PATH, RTLD_NOW | RTLD_GLOBAL) };
	ASSERT_TRUE(pins[0] != nullptr && pins[1] != nullptr) << dlerror();
	const struct
	{
		const char* path;
		const char* id;
		std::uint64_t parameters;
	} modules[] = { { TENEBRIXOR_MODULE_PATH, "TNBX", 5 }, { PROBE_MODULE_PATH, "PRBE", 1 } };
	for (const auto& expected : modules)
	{
		ffgltool::PluginModule module;
		std::string error;
		ASSERT_TRUE(module.Load(expected.path, error)) << error;
		const PluginInfoStructTag* info = module.GetInfo();
		ASSERT_NE(info, nullptr);
		EXPECT_EQ(static_cast<const void*>(info), *static_cast<void**>(module.FindSymbol("g_CurrPluginInfo")));
		EXPECT_EQ(std::string(info->PluginUniqueID, 4), expected.id);
		EXPECT_EQ(Call64(module, FF_GET_NUM_PARAMETERS), expected.parameters);
		module.DeInitialise();
	}
	for (void* pin : pins)
		dlclose(pin);
}

TEST(ModuleTest, GuardIdentityAndParameterDefinitions)
{
	ffgltool::PluginModule module;
	std::string error;
	ASSERT_TRUE(module.Load(TENEBRIXOR_MODULE_PATH, error)) << error;
	const auto* bytes = reinterpret_cast<const unsigned char*>(module.GetInfo());
	const std::uint32_t words[] = { 2, 1 }; // API version 2.1
	EXPECT_EQ(std::memcmp(bytes, words, sizeof(words)), 0);
	// 17 characters in a 16-byte field: the last letter is cut, no terminator.
	EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 8), 20), "TNBXCamera Tenebrixo");
	EXPECT_EQ(bytes[28] + bytes[29] + bytes[30] + bytes[31], FF_EFFECT);
	const PluginExtendedInfoStructTag* extended = module.GetExtendedInfo();
	ASSERT_EQ(reinterpret_cast<const unsigned char*>(extended), bytes + 32);
	EXPECT_EQ(extended->PluginMajorVersion * 10 + extended->PluginMinorVersion, 10u);
	EXPECT_STREQ(extended->Description, "Switches to the next layer clip when camera video stays black");
	EXPECT_STREQ(extended->About, "Camera Tenebrixor for Vidmora Aulora 7");
	EXPECT_EQ(extended->FreeFrameExtendedDataBlock, nullptr);

	const struct
	{
		const char* name;
		std::uint64_t defaultBits; // 0.14, 0.1, 0.1, 0 and 1/3 as the host reads them
	} parameters[] = { { "Black Threshold", 0x3E0F5C29u }, { "Black Hold", 0x3DCCCCCDu }, { "Recovery", 0x3DCCCCCDu },
		{ "Layer", 0u }, { "OSC Port", 0x3EAAAA9Fu } };
	for (std::uint32_t i = 0; i < 5; ++i)
	{
		EXPECT_STREQ(module.GetParameterName(i), parameters[i].name);
		EXPECT_EQ(Call64(module, FF_GET_PARAMETER_DEFAULT, Number(i)), parameters[i].defaultBits) << i;
		EXPECT_EQ(Call64(module, FF_GET_PARAMETER_TYPE, Number(i)), FF_TYPE_STANDARD) << i;
	}
	const std::pair<std::uint32_t, std::uint64_t> capabilities[] = { { FF_CAP_SET_TIME, 1 },
		{ FF_CAP_MINIMUM_INPUT_FRAMES, 1 }, { FF_CAP_MAXIMUM_INPUT_FRAMES, 1 },
		{ FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, 0 }, { 4, 0 } };
	for (const auto& [capability, answer] : capabilities)
		EXPECT_EQ(Call64(module, FF_GET_PLUGIN_CAPS, Number(capability)), answer) << capability;
	GetThumbnailStructTag thumbnail{ 7, 7, nullptr };
	EXPECT_EQ(Call64(module, FF_GET_THUMBNAIL, Pointer(&thumbnail)), kFail64);
	EXPECT_EQ(thumbnail.width + thumbnail.height, 0u);
	module.DeInitialise();
}
} // namespace
