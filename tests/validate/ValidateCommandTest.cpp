// `ffgl-host validate` as a plug-in author runs it: on the modules of this
// project it passes; on a module with a deliberate fault it fails, on the
// check that names that fault, and exits 1.
#include "tests/tools/ToolProcess.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace
{

std::string BrokenModule(const std::string& fault)
{
	return std::string(BROKEN_MODULE_DIR) + "/BrokenModule" + fault + ".so";
}

// The status of one check in the JSON report, or "" when it is missing.
std::string CheckStatus(const std::string& json, const std::string& check)
{
	const std::regex entry("\\{\"check\": \"" + check + "\", \"status\": \"(PASS|WARN|FAIL)\"");
	std::smatch match;
	return std::regex_search(json, match, entry) ? match[1].str() : "";
}

TEST(ValidateCommandTest, PassesOnTheProjectsModules)
{
	std::vector<std::string> modules = { GUARD_MODULE_PATH, BrokenModule("Good") };
#ifdef EXAMPLE_MODULE_DIR
	for (const char* example : { "ColourRamp", "ChannelGain", "Crossfade" })
		modules.push_back(std::string(EXAMPLE_MODULE_DIR) + "/" + example + ".so");
#endif
	for (const std::string& module : modules)
	{
		SCOPED_TRACE(module);
		const ToolResult result = RunTool(FFGL_HOST_PATH, { "validate", module });
		ASSERT_TRUE(result.exited) << "killed by signal " << result.signal << "\n" << result.out << result.err;
		EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
		EXPECT_EQ(result.out.find("FAIL  "), std::string::npos) << result.out;
		EXPECT_NE(result.out.find("0 failed: PASS"), std::string::npos) << result.out;
		// Without a GL context the instance checks are skipped with a warning.
		EXPECT_TRUE(!OnCI() || result.out.find("WARN  gl-context") == std::string::npos) << result.out;
	}
}

TEST(ValidateCommandTest, FailsOnTheCheckThatNamesTheFault)
{
	const struct
	{
		const char* fault;
		const char* check;
		bool needsGL;
	} cases[] = {
		{ "BadIdentity", "identity", false },
		{ "HugeExtendedData", "extended-info", false },
		{ "NaNDefault", "parameter-definitions", false },
		{ "DrawsWithoutInput", "frames-refused", true },
		{ "LeavesTextureUnit", "gl-state", true },
		{ "LeaksBuffer", "lifecycle-leaks", true },
		{ "LeaksDescriptor", "lifecycle-leaks", true },
		{ "UnterminatedDisplay", "display-texts", true },
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.fault);
		const ToolResult result = RunTool(FFGL_HOST_PATH, { "validate", "--json", BrokenModule(c.fault) });
		ASSERT_TRUE(result.exited) << "killed by signal " << result.signal << "\n" << result.out << result.err;
		if (c.needsGL && CheckStatus(result.out, "gl-context") == "WARN" && !OnCI())
			continue; // faults that only a frame shows need a GL context
		EXPECT_EQ(result.exitStatus, 1) << result.out << result.err;
		EXPECT_EQ(CheckStatus(result.out, c.check), "FAIL") << result.out;
		EXPECT_NE(result.out.find("\"result\": \"FAIL\""), std::string::npos) << result.out;
	}
	const ToolResult missing = RunTool(FFGL_HOST_PATH, { "validate", "--json", "/nonexistent/module.so" });
	EXPECT_EQ(missing.exitStatus, 1);
	EXPECT_EQ(CheckStatus(missing.out, "load"), "FAIL") << missing.out;
}

TEST(ValidateCommandTest, ReportsOneLinePerCheckAndASummary)
{
	const ToolResult result = RunTool(FFGL_HOST_PATH, { "validate", BrokenModule("NaNDefault") });
	EXPECT_EQ(result.exitStatus, 1);
	std::istringstream lines(result.out);
	int checks = 0;
	for (std::string line; std::getline(lines, line) && !line.empty(); ++checks) // a blank line before the summary
		EXPECT_TRUE(std::regex_match(line, std::regex("^(PASS|WARN|FAIL)  [a-z-]+ {2,}.+$"))) << line;
	EXPECT_GE(checks, 10);
	EXPECT_NE(result.out.find("\nFAIL  parameter-definitions   the default of parameter 0 (code 6) is NaN"),
		std::string::npos)
		<< result.out;
	EXPECT_NE(result.out.find("failed: FAIL\n"), std::string::npos) << result.out;
}

} // namespace
