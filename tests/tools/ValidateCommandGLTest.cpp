// `ffgl-host validate` as a plug-in author runs it: it passes on the modules
// of this project and fails, on the check that names the fault and with exit
// status 1, on a module with one deliberate fault.
#include "tests/support/GLFixture.h"
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

namespace
{

using ::testing::HasSubstr;

class ValidateCommand : public GLFixture
{
};

// The status of one check in the JSON report, or "" when it is missing.
std::string CheckStatus(const std::string& json, const std::string& check)
{
	std::smatch match;
	return std::regex_search(json, match, std::regex("\\{\"check\": \"" + check + "\", \"status\": \"([A-Z]+)\""))
		? match[1].str()
		: "";
}

TEST_F(ValidateCommand, PassesOnTheProjectsModules)
{
	for (const std::string& module : { std::string(GUARD_MODULE_PATH), StandIn("BrokenModuleGood"),
			 Example("ColourRamp"), Example("ChannelGain"), Example("Crossfade") })
	{
		if (module.empty())
			continue; // the examples are left out of this build
		const ToolResult result = RunTool(FFGL_HOST_PATH, { "validate", module });
		EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
		EXPECT_THAT(result.out, ::testing::Not(HasSubstr("FAIL  ")));
		// The guard answers without a single warning; the others warn of values kept as given.
		EXPECT_THAT(result.out,
			HasSubstr(module == GUARD_MODULE_PATH ? ": 20 passed, 0 warnings, 0 failed: PASS\n" : " 0 failed: PASS\n"));
	}
}

TEST_F(ValidateCommand, FailsOnTheCheckThatNamesTheFault)
{
	const struct
	{
		const char* module;
		const char* check;
	} cases[] = {
		{ "BrokenModuleBadIdentity", "identity" },
		{ "BrokenModuleHugeExtendedData", "extended-info" },
		{ "BrokenModuleNaNDefault", "parameter-definitions" },
		{ "BrokenModuleUnterminatedDisplay", "display-texts" },
		{ "BrokenModuleDrawsWithoutInput", "frames-refused" },
		{ "BrokenModuleLeavesTextureUnit", "gl-state" },
		{ "BrokenModuleLeaksBuffer", "lifecycle-leaks" },
		{ "BrokenModuleLeaksDescriptor", "lifecycle-leaks" },
		{ "NoSuchModule", "load" },
	};
	for (const auto& c : cases)
	{
		const ToolResult result = RunTool(FFGL_HOST_PATH, { "validate", "--json", StandIn(c.module) });
		SCOPED_TRACE(c.module);
		EXPECT_EQ(result.exitStatus, 1) << result.err;
		EXPECT_EQ(CheckStatus(result.out, c.check), "FAIL") << result.out;
		EXPECT_THAT(result.out, HasSubstr("\"result\": \"FAIL\"\n}\n"));
	}
}

TEST_F(ValidateCommand, PrintsOneLinePerCheckOrOneJsonObject)
{
	const ToolResult text = RunTool(FFGL_HOST_PATH, { "validate", StandIn("BrokenModuleBadIdentity") });
	EXPECT_THAT(text.out,
		::testing::StartsWith("PASS  load                    plugMain found\n"
							  "FAIL  identity                the ID \"B\\x01K\\x7F\" is not four "
							  "printable characters\n"));
	EXPECT_THAT(
		text.out, HasSubstr("\n\n" + StandIn("BrokenModuleBadIdentity") + ": 18 passed, 1 warning, 1 failed: FAIL\n"));
	const ToolResult json = RunTool(FFGL_HOST_PATH, { "validate", "--json", StandIn("BrokenModuleBadIdentity") });
	EXPECT_THAT(json.out,
		HasSubstr("{\"check\": \"identity\", \"status\": \"FAIL\", \"detail\": \"the ID "
				  "\\\"B\\\\x01K\\\\x7F\\\" is not four printable characters\"},\n"));
	EXPECT_THAT(json.out, HasSubstr("\"summary\": {\"pass\": 18, \"warn\": 1, \"fail\": 1},"));
}

} // namespace
