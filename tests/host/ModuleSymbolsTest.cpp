// What a plug-in module exposes to the process that loads it: exactly the five
// entry points a host looks up, and nothing another module could bind to.
#include "tests/host/PluginCalls.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

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

const std::set<std::string> kExports = { "InitGLExts", "SetLogCallback", "ValidateContextState", "g_CurrPluginInfo",
	"plugMain" };

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
	// Loaded globally first, so the tool's own dlopen finds them as they are.
	void* const pins[] = { dlopen(TENEBRIXOR_MODULE_PATH, RTLD_NOW | RTLD_GLOBAL),
		dlopen(PROBE_MODULE_PATH, RTLD_NOW | RTLD_GLOBAL) };
	ASSERT_NE(pins[0], nullptr) << dlerror();
	ASSERT_NE(pins[1], nullptr) << dlerror();
	struct Expected
	{
		const char* path;
		const char* id;
		std::uint64_t parameters;
	};
	for (const Expected& e :
		{ Expected{ TENEBRIXOR_MODULE_PATH, "TNBX", 5 }, Expected{ PROBE_MODULE_PATH, "PRBE", 4 } })
	{
		ffgltool::PluginModule module;
		std::string error;
		ASSERT_TRUE(module.Load(e.path, error)) << error;
		const PluginInfoStructTag* info = module.GetInfo();
		ASSERT_NE(info, nullptr);
		EXPECT_EQ(static_cast<const void*>(info), *static_cast<void**>(module.FindSymbol("g_CurrPluginInfo")));
		EXPECT_EQ(std::string(info->PluginUniqueID, 4), e.id);
		EXPECT_EQ(tests::Call64(module, FF_GET_NUM_PARAMETERS), e.parameters);
		module.DeInitialise();
	}
	for (void* pin : pins)
		dlclose(pin);
}
} // namespace
