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

// The text report's line for a failed check, or "" when it did not fail.
std::string FailLine(const std::string& out, const std::string& check)
{
	std::smatch match;
	return std::regex_search(out, match, std::regex("(^|\n)(FAIL  " + check + "  [^\n]*)")) ? match[2].str() : "";
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
		const char* detail;
	} cases[] = {
		{ "BrokenModuleBadIdentity", "identity", "the ID \"B\\x01K\\x7F\" is not four printable characters" },
		{ "BrokenModuleHugeExtendedData", "extended-info", "claims 4294967280 bytes, more than 16777216" },
		{ "BrokenModuleNaNDefault", "parameter-definitions", "the default of parameter 0 (code 6) is NaN" },
		{ "BrokenModuleUnterminatedDisplay", "display-texts", "has no terminating zero within 1024 bytes" },
		{ "BrokenModuleDrawsWithoutInput", "frames-refused", "a frame without inputs was not refused" },
		{ "BrokenModuleLeavesTextureUnit", "gl-state", "after a frame: active texture unit is 3, was 0" },
		{ "BrokenModuleLeaksBuffer", "lifecycle-leaks", "100 buffers left over after 100 cycles" },
		{ "BrokenModuleLeaksDescriptor", "lifecycle-leaks", "100 file descriptors left open after 100 cycles" },
		{ "NoSuchModule", "load", "No such file or directory" },
	};
	for (const auto& c : cases)
	{
		const ToolResult result = RunTool(FFGL_HOST_PATH, { "validate", StandIn(c.module) });
		SCOPED_TRACE(c.module);
		EXPECT_EQ(result.exitStatus, 1) << result.err;
		EXPECT_THAT(FailLine(result.out, c.check), HasSubstr(c.detail)) << result.out;
		EXPECT_THAT(result.out, ::testing::EndsWith(" failed: FAIL\n"));
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
