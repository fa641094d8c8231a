// `ffgl-host info` on well-formed modules: what a host reads of the guard and
// of a stand-in with a text parameter, control bytes and a 16-character name,
// with display texts read from an instance on a GL context (none when the
// module refuses the instance).
#include "tests/support/GLFixture.h"
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace
{

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class InfoCommand : public GLFixture
{
};

// The rows of the "Parameters (n)" table, split into cells, which the table
// sets apart by two or more spaces.
std::vector<std::vector<std::string>> ParameterRows(const std::string& out)
{
	std::vector<std::vector<std::string>> rows;
	std::istringstream lines(out.substr(std::min(out.size(), out.find("\nParameters ("))));
	std::string line;
	for (int skip = 0; skip < 3; ++skip) // the blank line, the title, the column heads
		std::getline(lines, line);
	const std::regex separator(" {2,}");
	while (std::getline(lines, line) && line.rfind("  Display texts", 0) != 0)
		rows.emplace_back(
			std::sregex_token_iterator(line.begin() + 2, line.end(), separator, -1), std::sregex_token_iterator());
	return rows;
}

TEST_F(InfoCommand, ReportsWhatAHostReadsOfEachModule)
{
	const ToolResult guard = RunTool(FFGL_HOST_PATH, { "info", GUARD_MODULE_PATH });
	EXPECT_EQ(guard.exitStatus, 0) << guard.err;
	EXPECT_THAT(guard.out,
		HasSubstr("\nID            TNBX\n"
				  "Name          Camera Tenebrixo  (fills the 16-byte name field, no terminator)\n"
				  "Type          effect (0)\nAPI version   2.1\nVersion       1.0\n"
				  "Description   Switches to the next layer clip when camera video stays black\n"
				  "About         Camera Tenebrixor for Vidmora Aulora 7\n"));
	EXPECT_THAT(guard.out,
		::testing::ContainsRegex("Set time +yes\n +Minimum inputs +1\n +Maximum inputs +1\n"
								 " +Top-left texture orientation +no\n"));
	EXPECT_THAT(ParameterRows(guard.out),
		ElementsAre(ElementsAre("0", "Black Threshold", "standard (10)", "0.14", "0..1", "3.5%"),
			ElementsAre("1", "Black Hold", "standard (10)", "0.1", "0..1", "1.00 s"),
			ElementsAre("2", "Recovery", "standard (10)", "0.1", "0..1", "0.50 s"),
			ElementsAre("3", "Layer", "standard (10)", "0", "0..1", "1"),
			ElementsAre("4", "OSC Port", "standard (10)", "0.333333", "0..1", "7000")));

	// Named without a slash: the file in the working directory, where dlopen
	// alone would search the library path.
	const ToolResult good = RunTool(FFGL_HOST_PATH, { "info", "FakeModuleGood.so" }, {}, STAND_IN_DIR);
	EXPECT_EQ(good.exitStatus, 0) << good.err;
	EXPECT_THAT(good.out, HasSubstr("\nType          source (1)\n"));
	EXPECT_THAT(good.out, HasSubstr("\nAbout         About\\x09tab\n"));
	EXPECT_THAT(good.out, ::testing::ContainsRegex("Minimum inputs +0\n +Maximum inputs +2\n.*orientation +yes\n"));
	EXPECT_THAT(ParameterRows(good.out),
		ElementsAre(ElementsAre("0", "Caption", "text (100)", "\"hello\"", "0..0", "hello"),
			ElementsAre("1", "Amount", "standard (10)", "0.25", "0..1", "25 %")));

	const ToolResult refuses = RunTool(FFGL_HOST_PATH, { "info", StandIn("FakeModuleRefusesInstance") });
	EXPECT_EQ(refuses.exitStatus, 0) << refuses.err;
	EXPECT_THAT(ParameterRows(refuses.out),
		ElementsAre(ElementsAre("0", "Caption", "text (100)", "\"hello\"", "0..0"),
			ElementsAre("1", "Amount", "standard (10)", "0.25", "0..1")));
	EXPECT_THAT(refuses.out, HasSubstr("\n  Display texts unavailable"));
}

} // namespace
