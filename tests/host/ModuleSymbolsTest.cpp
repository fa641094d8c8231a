// What a plug-in module exposes to the process that loads it: exactly the five
// entry points a host looks up, and nothing another module could bind to.
#include "tests/host/PluginModule.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

using tests::PluginModule;

namespace
{
// The defined symbols of the module's dynamic symbol table, as nm lists them.
bool DefinedDynamicSymbols(const std::string& path, std::set<std::string>& symbols)
{
	const std::string command = "nm -D --defined-only '" + path + "'";
	FILE* pipe = popen(command.c_str(), "r");
	if (pipe == nullptr)
		return false;
	char line[1024];
	while (std::fgets(line, sizeof(line), pipe) != nullptr)
	{
		// "<address> <type> <name>"
		std::istringstream fields(line);
		std::string address, type, name;
		if (fields >> address >> type >> name)
			symbols.insert(name);
	}
	return pclose(pipe) == 0;
}

const std::set<std::string> kExports = { "InitGLExts", "SetLogCallback", "ValidateContextState",
	                                     "g_CurrPluginInfo", "plugMain" };

TEST(ModuleSymbolsTest, OnlyTheFiveEntryPointsAreExported)
{
	for (const char* path : { TENEBRIXOR_MODULE_PATH, PROBE_MODULE_PATH })
	{
		std::set<std::string> symbols;
		ASSERT_TRUE(DefinedDynamicSymbols(path, symbols)) << "nm failed on " << path;
		EXPECT_EQ(symbols, kExports) << path;
	}
}

// A host may load its plug-ins into the global symbol scope. Each module must
// still answer with its own registration, not with the first one loaded.
TEST(ModuleSymbolsTest, ModulesInTheGlobalScopeKeepTheirOwnRegistration)
{
	PluginModule guard(TENEBRIXOR_MODULE_PATH, RTLD_NOW | RTLD_GLOBAL);
	PluginModule probe(PROBE_MODULE_PATH, RTLD_NOW | RTLD_GLOBAL);
	ASSERT_TRUE(guard.Loaded()) << guard.error;
	ASSERT_TRUE(probe.Loaded()) << probe.error;
	ASSERT_NE(guard.main, probe.main);

	for (const PluginModule* module : { &guard, &probe })
	{
		const auto* info = static_cast<const PluginInfoStructTag*>(module->Call(FF_GET_INFO).PointerValue);
		ASSERT_NE(info, nullptr);
		EXPECT_EQ(static_cast<const void*>(info), module->RegistrationPointer());
	}
	const auto* guardInfo = static_cast<const PluginInfoStructTag*>(guard.Call(FF_GET_INFO).PointerValue);
	const auto* probeInfo = static_cast<const PluginInfoStructTag*>(probe.Call(FF_GET_INFO).PointerValue);
	EXPECT_EQ(std::string(guardInfo->PluginUniqueID, 4), "TNBX");
	EXPECT_EQ(std::string(probeInfo->PluginUniqueID, 4), "PRBE");
	EXPECT_EQ(guard.Call64(FF_GET_NUM_PARAMETERS), 5u);
	EXPECT_EQ(probe.Call64(FF_GET_NUM_PARAMETERS), 4u);
	guard.Call(FF_DEINITIALISE);
	probe.Call(FF_DEINITIALISE);
}
} // namespace
