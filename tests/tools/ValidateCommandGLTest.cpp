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
using ValidateCommand = GLFixture;

TEST_F(ValidateCommand, PassesOnTheProjectsModules)
{
	for (const std::string& module : { std::string(GUARD_MODULE_PATH), std::string(STILL_MODULE_PATH),
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
		const char* kind;
		const char* check;
		const char* detail;
	} cases[] = {
		{ "BadIdentity", "identity", "the ID \"B\\x01K\\x7F\" is not four printable characters" },
		{ "HugeExtendedData", "extended-info", "claims 4294967280 bytes, more than 16777216" },
		{ "NaNDefault", "parameter-definitions", "the default of parameter 0 (code 6) is NaN" },
		{ "UnterminatedDisplay", "display-texts", "has no terminating zero within 1024 bytes" },
		{ "DrawsWithoutInput", "frames-refused", "a frame without inputs was not refused" },
		{ "LeavesTextureUnit", "gl-state", "after a frame: active texture unit is 3, was 0" },
		{ "LeavesBlend", "gl-state", "after a frame: GL_BLEND is 1, was 0" },
		{ "LeaksBuffer", "lifecycle-leaks", "100 buffers left over after 100 cycles" },
		{ "LeaksDescriptor", "lifecycle-leaks", "100 file descriptors left open after 100 cycles" },
		{ "NoSuchModule", "load", "No such file or directory" },
	};
	for (const auto& c : cases)
	{
		const ToolResult result = RunTool(FFGL_HOST_PATH, { "validate", StandIn(c.kind) });
		SCOPED_TRACE(c.kind);
		EXPECT_EQ(result.exitStatus, 1) << result.err;
		std::smatch failLine;
		std::regex_search(result.out, failLine, std::regex(std::string("(^|\n)FAIL  ") + c.check + "  [^\n]*"));
		EXPECT_THAT(failLine.str(), HasSubstr(c.detail)) << result.out;
		EXPECT_THAT(result.out, ::testing::EndsWith(" failed: FAIL\n"));
	}
}

TEST_F(ValidateCommand, PrintsOneLinePerCheckOrOneJsonObject)
{
	const ToolResult text = RunTool(FFGL_HOST_PATH, { "validate", StandIn("BadIdentity") });
	EXPECT_THAT(text.out,
		::testing::StartsWith("PASS  load                    plugMain found\n"
							  "FAIL  identity                the ID \"B\\x01K\\x7F\" is not four "
							  "printable characters\n"));
	EXPECT_THAT(text.out,
		::testing::ContainsRegex(
			"\n\n" + StandIn("BadIdentity") + ": [0-9]+ passed, [0-9]+ warnings?, [0-9]+ failed: FAIL\n"));
	const ToolResult json = RunTool(FFGL_HOST_PATH, { "validate", "--json", StandIn("BadIdentity") });
	EXPECT_THAT(json.out,
		HasSubstr("{\"check\": \"identity\", \"status\": \"FAIL\", \"detail\": \"the ID "
				  "\\\"B\\\\x01K\\\\x7F\\\" is not four printable characters\"},\n"));
	EXPECT_THAT(json.out, HasSubstr("\"summary\": {\"pass\": 12, \"warn\": 1, \"fail\": 7},"));
}

} // namespace
