// `ffgl-host validate` as a plug-in author runs it: on the modules of this
// project it passes; on a module with a deliberate fault it fails, on the
// check that names that fault, and exits 1.
#include "tests/tools/ToolProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace
{

bool RunningUnderCI()
{
	const char* ci = std::getenv("CI");
	return ci != nullptr && std::strcmp(ci, "true") == 0;
}

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

// Without a GL context the instance checks are skipped (WARN), so faults that
// only a frame shows cannot be caught: skip, or fail under CI.
bool SkipWithoutGL(const ToolResult& result)
{
	if (CheckStatus(result.out, "gl-context") != "WARN")
		return false;
	if (RunningUnderCI())
		ADD_FAILURE() << "no headless GL context under CI=true:\n" << result.out;
	return true;
}

struct PassingModule
{
	const char* name;
	std::string path;
};

std::vector<PassingModule> PassingModules()
{
	std::vector<PassingModule> modules = {{"guard", GUARD_MODULE_PATH}, {"good test module", BrokenModule("Good")}};
#ifdef EXAMPLE_MODULE_DIR
	for (const char* example : {"ColourRamp", "ChannelGain", "Crossfade"})
		modules.push_back({example, std::string(EXAMPLE_MODULE_DIR) + "/" + example + ".so"});
#endif
	return modules;
}

TEST(ValidateCommandTest, PassesOnTheProjectsModules)
{
	for (const PassingModule& module : PassingModules())
	{
		SCOPED_TRACE(module.name);
		const ToolResult result = RunTool(FFGL_HOST_PATH, {"validate", module.path});
		ASSERT_TRUE(result.exited) << "killed by signal " << result.signal << "\n" << result.out << result.err;
		EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
		EXPECT_EQ(result.out.find("FAIL  "), std::string::npos) << result.out;
		EXPECT_NE(result.out.find("0 failed: PASS"), std::string::npos) << result.out;
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
		{"BadIdentity", "identity", false},
		{"NaNDefault", "parameter-definitions", false},
		{"DrawsWithoutInput", "frames-refused", true},
		{"LeavesTextureUnit", "gl-state", true},
		{"LeaksBuffer", "lifecycle-leaks", true},
		{"LeaksDescriptor", "lifecycle-leaks", true},
		{"UnterminatedDisplay", "display-texts", true},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.fault);
		const ToolResult result = RunTool(FFGL_HOST_PATH, {"validate", "--json", BrokenModule(c.fault)});
		ASSERT_TRUE(result.exited) << "killed by signal " << result.signal << "\n" << result.out << result.err;
		if (c.needsGL && SkipWithoutGL(result))
			continue;
		EXPECT_EQ(result.exitStatus, 1) << result.out << result.err;
		EXPECT_EQ(CheckStatus(result.out, c.check), "FAIL") << result.out;
		EXPECT_NE(result.out.find("\"result\": \"FAIL\""), std::string::npos) << result.out;
	}
}

TEST(ValidateCommandTest, ReportsOneLinePerCheckAndASummary)
{
	const ToolResult result = RunTool(FFGL_HOST_PATH, {"validate", BrokenModule("NaNDefault")});
	ASSERT_TRUE(result.exited);
	EXPECT_EQ(result.exitStatus, 1);
	const std::regex line("^(PASS|WARN|FAIL)  [a-z-]+ {2,}.+$");
	std::size_t start = 0;
	int checks = 0;
	while (start < result.out.size())
	{
		const std::size_t end = result.out.find('\n', start);
		const std::string text = result.out.substr(start, end - start);
		start = end == std::string::npos ? result.out.size() : end + 1;
		if (text.empty())
			break; // the blank line before the summary
		EXPECT_TRUE(std::regex_match(text, line)) << "not a check line: " << text;
		++checks;
	}
	EXPECT_GE(checks, 10);
	EXPECT_NE(result.out.find("FAIL  parameter-definitions   the default of parameter 0 (code 6) is NaN"),
	          std::string::npos)
		<< result.out;
	EXPECT_NE(result.out.find("failed: FAIL\n"), std::string::npos) << result.out;
}

TEST(ValidateCommandTest, RefusesWrongUsageAndMissingModules)
{
	EXPECT_EQ(RunTool(FFGL_HOST_PATH, {"validate"}).exitStatus, 2);
	EXPECT_EQ(RunTool(FFGL_HOST_PATH, {"validate", "--verbose", GUARD_MODULE_PATH}).exitStatus, 2);
	EXPECT_EQ(RunTool(FFGL_HOST_PATH, {"validate", "a.so", "b.so"}).exitStatus, 2);
	const ToolResult missing = RunTool(FFGL_HOST_PATH, {"validate", "--json", "/nonexistent/module.so"});
	EXPECT_EQ(missing.exitStatus, 1);
	EXPECT_EQ(CheckStatus(missing.out, "load"), "FAIL") << missing.out;
}

} // namespace
