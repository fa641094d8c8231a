// `ffgl-host info` run as a program: what it reports of well-formed modules,
// and that every broken module ends in one error line and a non-zero exit
// status instead of a crash.
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using ::testing::ContainsRegex;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

std::string FakeModule(const std::string& kind)
{
	return std::string(FAKE_MODULE_DIR) + "/FakeModule" + kind + ".so";
}

// The table rows under "Parameters (n)", each split into its cells, which the
// table sets apart by two or more spaces.
std::vector<std::vector<std::string>> ParameterRows(const std::string& out)
{
	std::vector<std::vector<std::string>> rows;
	const std::size_t table = out.find("\nParameters (");
	if (table == std::string::npos)
		return rows;
	std::istringstream lines(out.substr(table));
	std::string line;
	std::getline(lines, line); // the blank line before the title
	std::getline(lines, line); // the title
	std::getline(lines, line); // the column heads
	const std::regex separator(" {2,}");
	while (std::getline(lines, line) && line.rfind("  Display texts", 0) != 0)
		rows.emplace_back(
			std::sregex_token_iterator(line.begin() + 2, line.end(), separator, -1), std::sregex_token_iterator());
	return rows;
}

ToolResult Info(const std::string& module, const std::string& workingDirectory = {})
{
	ToolResult result = RunTool(FFGL_HOST_PATH, { "info", module }, {}, workingDirectory);
	EXPECT_TRUE(result.exited && result.exitStatus == 0) << result.err;
	EXPECT_THAT(result.err, IsEmpty());
	return result;
}

TEST(InfoCommand, ReportsTheGuardModuleAsAHostSeesIt)
{
	const std::string out = Info(GUARD_MODULE_PATH).out;
	// The 17-character name arrives cut to its 16-byte field.
	EXPECT_THAT(out,
		HasSubstr("\nID            TNBX\n"
				  "Name          Camera Tenebrixo  (fills the 16-byte name field, no terminator)\n"
				  "Type          effect (0)\n"
				  "API version   2.1\n"
				  "Version       1.0\n"
				  "Description   Switches to the next layer clip when camera video stays black\n"
				  "About         Camera Tenebrixor for Vidmora Aulora 7\n"));
	EXPECT_THAT(out,
		ContainsRegex("Set time +yes\n +Minimum inputs +1\n +Maximum inputs +1\n"
					  " +Top-left texture orientation +no\n"));
	EXPECT_THAT(out, HasSubstr("\nParameters (5)\n"));
	EXPECT_THAT(ParameterRows(out),
		ElementsAre(ElementsAre("0", "Black Threshold", "standard (10)", "0.14", "0..1", "3.5%"),
			ElementsAre("1", "Black Hold", "standard (10)", "0.1", "0..1", "1.00 s"),
			ElementsAre("2", "Recovery", "standard (10)", "0.1", "0..1", "0.50 s"),
			ElementsAre("3", "Layer", "standard (10)", "0", "0..1", "1"),
			ElementsAre("4", "OSC Port", "standard (10)", "0.333333", "0..1", "7000")));
}

TEST(InfoCommand, ReportsTextParametersControlBytesAndCapabilities)
{
	// Named without a slash: the file in the working directory, where dlopen
	// alone would search the library path.
	const std::string out = Info("FakeModuleGood.so", FAKE_MODULE_DIR).out;
	EXPECT_THAT(out,
		HasSubstr("\nName          Tool Test Module  (fills the 16-byte name field, no terminator)\n"
				  "Type          source (1)\n"));
	EXPECT_THAT(out, HasSubstr("\nVersion       3.7\n"));
	EXPECT_THAT(out, HasSubstr("\nAbout         About\\x09tab\n"));
	EXPECT_THAT(out,
		ContainsRegex("Set time +no\n +Minimum inputs +0\n +Maximum inputs +2\n"
					  " +Top-left texture orientation +yes\n"));
	EXPECT_THAT(ParameterRows(out),
		ElementsAre(ElementsAre("0", "Caption", "text (100)", "\"hello\"", "0..0", "hello"),
			ElementsAre("1", "Amount", "standard (10)", "0.25", "0..1", "25 %")));
}

TEST(InfoCommand, WithoutAnInstanceReportsDefaultsWithoutDisplayTexts)
{
	const std::string out = Info(FakeModule("RefusesInstance")).out;
	EXPECT_THAT(ParameterRows(out),
		ElementsAre(ElementsAre("0", "Caption", "text (100)", "\"hello\"", "0..0"),
			ElementsAre("1", "Amount", "standard (10)", "0.25", "0..1")));
	EXPECT_THAT(out, HasSubstr("\n  Display texts unavailable"));
}

struct FailureCase
{
	const char* label;
	std::vector<std::string> args;
	int exitStatus;
	const char* errorPattern; // a regular expression for the text after "ffgl-host: error: "
};

void PrintTo(const FailureCase& failure, std::ostream* stream)
{
	*stream << failure.label;
}

class InfoCommandFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(InfoCommandFailure, GivesOneErrorLineAndNonZeroExit)
{
	const FailureCase& failure = GetParam();
	const ToolResult result = RunTool(FFGL_HOST_PATH, failure.args);
	ASSERT_TRUE(result.exited) << "killed by signal " << result.signal << "; stderr: " << result.err;
	EXPECT_EQ(result.exitStatus, failure.exitStatus) << result.err;
	EXPECT_THAT(result.out, IsEmpty());
	EXPECT_THAT(result.err, MatchesRegex(std::string("ffgl-host: error: .*") + failure.errorPattern + ".*\n"));
	EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "more than one line: " << result.err;
}

const FailureCase kFailureCases[] = {
	{ "MissingFile", { "info", FAKE_MODULE_DIR "/NoSuchModule.so" }, 1, "cannot load module: .*No such file" },
	{ "NotALibrary", { "info", FAKE_MODULE_DIR "/NotALibrary.so" }, 1, "cannot load module: .*NotALibrary.so" },
	{ "NoPlugMain", { "info", FakeModule("NoPlugMain") }, 1, "exports no plugMain" },
	{ "NullInfo", { "info", FakeModule("NullInfo") }, 1, "no info record \\(code 0 answered null\\)" },
	{ "FailedInitialise", { "info", FakeModule("FailedInitialise") }, 1,
		"failed to initialise \\(code 34 answered 0xFFFFFFFF\\)" },
	{ "FailedCount", { "info", FakeModule("FailedCount") }, 1, "no parameter count" },
	{ "HugeCount", { "info", FakeModule("HugeCount") }, 1, "claims 2147483647 parameters" },
	{ "NullName", { "info", FakeModule("NullName") }, 1, "name of parameter 1 \\(code 5\\) is a null pointer" },
	{ "UnterminatedName", { "info", FakeModule("UnterminatedName") }, 1,
		"name of parameter 0 .*no terminating zero within 1024 bytes" },
	{ "WildDescription", { "info", FakeModule("WildDescription") }, 1, "description text points at unreadable memory" },
	{ "Crashes", { "info", FakeModule("Crashes") }, 3, "the module crashed \\(SIGSEGV\\) in plugMain code 4$" },
	{ "CrashesOnLoad", { "info", FakeModule("CrashesOnLoad") }, 3,
		"the module crashed \\(SIGSEGV\\) outside plugMain" },
	{ "Throws", { "info", FakeModule("Throws") }, 1, "an exception escaped plugMain \\(function code 4\\)" },
	{ "NoCommand", {}, 2, "no command given" },
	{ "UnknownCommand", { "frobnicate" }, 2, "unknown command 'frobnicate'" },
	{ "InfoWithoutModule", { "info" }, 2, "usage: ffgl-host info MODULE" },
	{ "InfoWithTwoModules", { "info", FakeModule("Good"), FakeModule("Good") }, 2, "usage: ffgl-host info MODULE" },
	{ "ValidateWithTwoModules", { "validate", "a.so", "b.so" }, 2, "usage: ffgl-host validate \\[--json\\] MODULE" },
	{ "ValidateUnknownOption", { "validate", "--verbose", "a.so" }, 2, "usage: ffgl-host validate" },
};

INSTANTIATE_TEST_SUITE_P(Modules, InfoCommandFailure, ::testing::ValuesIn(kFailureCases),
	[](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.label); });

TEST(HostUsage, ListsEveryCommandInAlignedColumns)
{
	const ToolResult result = RunTool(FFGL_HOST_PATH, { "--help" });
	EXPECT_EQ(result.exitStatus, 0);
	EXPECT_THAT(result.out, ContainsRegex("\n  info MODULE( +)print the identity"));
	// Every summary starts in the same column, whatever the length of its call.
	std::vector<std::size_t> columns;
	const std::regex row("\n  ([a-z]+ [^\n]*?  +)[a-z]");
	for (auto it = std::sregex_iterator(result.out.begin(), result.out.end(), row); it != std::sregex_iterator(); ++it)
		columns.push_back((*it)[1].length());
	ASSERT_EQ(columns.size(), 3u) << result.out;
	EXPECT_THAT(columns, ElementsAre(columns[0], columns[0], columns[0]));
}

} // namespace
