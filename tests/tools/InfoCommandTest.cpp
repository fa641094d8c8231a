// `ffgl-host info` run as a program: what it reports of well-formed modules,
// and that every broken module ends in one error line and a non-zero exit
// status instead of a crash.
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace
{

using ::testing::ContainsRegex;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;
using ::testing::Not;

std::string FakeModule(const std::string& kind)
{
	return std::string(FAKE_MODULE_DIR) + "/FakeModule" + kind + ".so";
}

std::vector<std::string> Lines(const std::string& text)
{
	std::vector<std::string> lines;
	std::string::size_type start = 0;
	while (start < text.size())
	{
		const auto end = text.find('\n', start);
		lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
		if (end == std::string::npos)
			break;
		start = end + 1;
	}
	return lines;
}

// The table rows under "Parameters (n)", each split into its cells. Cells are
// set apart by two or more spaces; a cell itself holds at most single spaces.
std::vector<std::vector<std::string>> ParameterRows(const std::string& out)
{
	std::vector<std::vector<std::string>> rows;
	bool inTable = false;
	const std::regex separator(" {2,}");
	for (const std::string& line : Lines(out))
	{
		if (line.rfind("Parameters (", 0) == 0)
		{
			inTable = true;
			continue;
		}
		if (!inTable || line.rfind("  #", 0) == 0 || line.rfind("  Display texts", 0) == 0)
			continue;
		std::vector<std::string> cells;
		for (std::sregex_token_iterator it(line.begin() + 2, line.end(), separator, -1), end; it != end; ++it)
			cells.push_back(*it);
		rows.push_back(cells);
	}
	return rows;
}

void ExpectSuccess(const ToolResult& result)
{
	ASSERT_TRUE(result.exited) << "killed by signal " << result.signal;
	EXPECT_EQ(result.exitStatus, 0) << result.err;
	EXPECT_THAT(result.err, IsEmpty());
}

TEST(InfoCommand, ReportsTheGuardModuleAsAHostSeesIt)
{
#ifndef GUARD_MODULE_PATH
	if (const char* ci = std::getenv("CI"); ci != nullptr && std::string(ci) == "true")
		FAIL() << "the guard module is not part of this build";
	GTEST_SKIP() << "the guard module is not part of this build yet";
#else
	const ToolResult result = RunTool(FFGL_HOST_PATH, {"info", GUARD_MODULE_PATH});
	ExpectSuccess(result);
	const std::string& out = result.out;
	// The 17-character name arrives cut to its 16-byte field.
	EXPECT_THAT(out, HasSubstr("\nName          Camera Tenebrixo  (fills the 16-byte name field, no terminator)\n"));
	EXPECT_THAT(out, HasSubstr("\nID            TNBX\n"));
	EXPECT_THAT(out, HasSubstr("\nType          effect (0)\n"));
	EXPECT_THAT(out, HasSubstr("\nAPI version   2.1\n"));
	EXPECT_THAT(out, HasSubstr("\nVersion       1.0\n"));
	EXPECT_THAT(out, HasSubstr("\nDescription   Switches to the next layer clip when camera video stays black\n"));
	EXPECT_THAT(out, HasSubstr("\nAbout         Camera Tenebrixor for Vidmora Aulora 7\n"));
	EXPECT_THAT(out, ContainsRegex("Set time +yes\n"));
	EXPECT_THAT(out, ContainsRegex("Minimum inputs +1\n"));
	EXPECT_THAT(out, ContainsRegex("Maximum inputs +1\n"));
	EXPECT_THAT(out, ContainsRegex("Top-left texture orientation +no\n"));
	EXPECT_THAT(out, HasSubstr("\nParameters (5)\n"));
	EXPECT_THAT(ParameterRows(out),
	            ElementsAre(ElementsAre("0", "Black Threshold", "standard (10)", "0.14", "0..1", "3.5%"),
	                        ElementsAre("1", "Black Hold", "standard (10)", "0.1", "0..1", "1.00 s"),
	                        ElementsAre("2", "Recovery", "standard (10)", "0.1", "0..1", "0.50 s"),
	                        ElementsAre("3", "Layer", "standard (10)", "0", "0..1", "1"),
	                        ElementsAre("4", "OSC Port", "standard (10)", "0.333333", "0..1", "7000")));
#endif
}

TEST(InfoCommand, ReportsTextParametersControlBytesAndCapabilities)
{
	const ToolResult result = RunTool(FFGL_HOST_PATH, {"info", FakeModule("Good")});
	ExpectSuccess(result);
	EXPECT_THAT(result.out, HasSubstr("\nName          Tool Test Module  (fills the 16-byte name field, no terminator)\n"));
	EXPECT_THAT(result.out, HasSubstr("\nType          source (1)\n"));
	EXPECT_THAT(result.out, HasSubstr("\nVersion       3.7\n"));
	EXPECT_THAT(result.out, HasSubstr("\nAbout         About\\x09tab\n"));
	EXPECT_THAT(result.out, ContainsRegex("Set time +no\n"));
	EXPECT_THAT(result.out, ContainsRegex("Minimum inputs +0\n"));
	EXPECT_THAT(result.out, ContainsRegex("Maximum inputs +2\n"));
	EXPECT_THAT(result.out, ContainsRegex("Top-left texture orientation +yes\n"));
	EXPECT_THAT(ParameterRows(result.out),
	            ElementsAre(ElementsAre("0", "Caption", "text (100)", "\"hello\"", "0..0", "hello"),
	                        ElementsAre("1", "Amount", "standard (10)", "0.25", "0..1", "25 %")));
}

TEST(InfoCommand, WithoutAnInstanceReportsDefaultsWithoutDisplayTexts)
{
	const ToolResult result = RunTool(FFGL_HOST_PATH, {"info", FakeModule("RefusesInstance")});
	ExpectSuccess(result);
	EXPECT_THAT(ParameterRows(result.out),
	            ElementsAre(ElementsAre("0", "Caption", "text (100)", "\"hello\"", "0..0"),
	                        ElementsAre("1", "Amount", "standard (10)", "0.25", "0..1")));
	EXPECT_THAT(result.out, HasSubstr("Display texts unavailable"));
	EXPECT_THAT(result.out, Not(HasSubstr("Display\n")));
}

TEST(InfoCommand, AModuleNamedWithoutASlashIsTheFileInTheWorkingDirectory)
{
	// dlopen would search the library path for a bare name instead.
	const ToolResult result = RunTool(FFGL_HOST_PATH, {"info", "FakeModuleGood.so"}, FAKE_MODULE_DIR);
	ExpectSuccess(result);
	EXPECT_THAT(result.out, HasSubstr("Tool Test Module"));
}

struct FailureCase
{
	const char* label;
	std::vector<std::string> args;
	int exitStatus;
	const char* errorPattern; // a regular expression for the text after "ffgl-host: error: "
};

std::ostream& operator<<(std::ostream& stream, const FailureCase& failure)
{
	return stream << failure.label;
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
	const std::vector<std::string> lines = Lines(result.err);
	ASSERT_EQ(lines.size(), 1u) << result.err;
	EXPECT_EQ(result.err.back(), '\n');
	EXPECT_THAT(lines[0], MatchesRegex(std::string("ffgl-host: error: .*") + failure.errorPattern + ".*"));
}

const FailureCase kFailureCases[] = {
	{"MissingFile", {"info", FAKE_MODULE_DIR "/NoSuchModule.so"}, 1, "cannot load module: .*No such file"},
	{"NotALibrary", {"info", FAKE_MODULE_DIR "/NotALibrary.so"}, 1, "cannot load module: .*NotALibrary.so"},
	{"NoPlugMain", {"info", FakeModule("NoPlugMain")}, 1, "exports no plugMain"},
	{"NullInfo", {"info", FakeModule("NullInfo")}, 1, "no info record \\(code 0 answered null\\)"},
	{"FailedInitialise", {"info", FakeModule("FailedInitialise")}, 1, "failed to initialise \\(code 34 answered 0xFFFFFFFF\\)"},
	{"FailedCount", {"info", FakeModule("FailedCount")}, 1, "no parameter count"},
	{"HugeCount", {"info", FakeModule("HugeCount")}, 1, "claims 2147483647 parameters"},
	{"NullName", {"info", FakeModule("NullName")}, 1, "name of parameter 1 \\(code 5\\) is a null pointer"},
	{"UnterminatedName", {"info", FakeModule("UnterminatedName")}, 1, "name of parameter 0 .*no terminating zero within 1024 bytes"},
	{"WildDescription", {"info", FakeModule("WildDescription")}, 1, "description text points at unreadable memory"},
	{"Crashes", {"info", FakeModule("Crashes")}, 3, "the module crashed \\(SIGSEGV\\) in plugMain code 4$"},
	{"CrashesOnLoad", {"info", FakeModule("CrashesOnLoad")}, 3, "the module crashed \\(SIGSEGV\\) outside plugMain"},
	{"Throws", {"info", FakeModule("Throws")}, 1, "an exception escaped plugMain \\(function code 4\\)"},
	{"NoCommand", {}, 2, "no command given"},
	{"UnknownCommand", {"frobnicate"}, 2, "unknown command 'frobnicate'"},
	{"InfoWithoutModule", {"info"}, 2, "usage: ffgl-host info MODULE"},
	{"InfoWithTwoModules", {"info", FakeModule("Good"), FakeModule("Good")}, 2, "usage: ffgl-host info MODULE"},
};

INSTANTIATE_TEST_SUITE_P(Modules, InfoCommandFailure, ::testing::ValuesIn(kFailureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.label); });

} // namespace
