// `ffgl-host info` on well-formed modules: what a host reads of the guard and
// of a stand-in with a text parameter, control bytes and a 16-character name,
// with display texts read from an instance on a GL context (none when the
// module refuses the instance).
#include "tests/support/GLFixture.h"
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace
{

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using InfoCommand = GLFixture;

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
		ContainsRegex("Set time +yes\n +Minimum inputs +1\n +Maximum inputs +1\n"
					  " +Top-left texture orientation +no\n"));
	// Parameter rows: index, name, type, default, range and display text.
	EXPECT_THAT(guard.out,
		ContainsRegex("\n  0 +Black Threshold +standard \\(10\\) +0\\.14 +0\\.\\.1 +3\\.5%\n"
					  "  1 +Black Hold +standard \\(10\\) +0\\.1 +0\\.\\.1 +1\\.00 s\n"
					  "  2 +Recovery +standard \\(10\\) +0\\.1 +0\\.\\.1 +0\\.50 s\n"
					  "  3 +Layer +standard \\(10\\) +0 +0\\.\\.1 +1\n"
					  "  4 +OSC Port +standard \\(10\\) +0\\.333333 +0\\.\\.1 +7000\n"));

	// Named without a slash: the file in the working directory, where dlopen
	// alone would search the library path.
	const ToolResult good = RunTool(FFGL_HOST_PATH, { "info", "StandInGood.so" }, {}, STAND_IN_DIR);
	EXPECT_EQ(good.exitStatus, 0) << good.err;
	EXPECT_THAT(good.out, HasSubstr("\nType          source (1)\n"));
	EXPECT_THAT(good.out, HasSubstr("\nAbout         About\\x09tab\n"));
	EXPECT_THAT(good.out,
		ContainsRegex("Set time +no\n +Minimum inputs +1\n +Maximum inputs +2\n"
					  " +Top-left texture orientation +yes\n"));
	EXPECT_THAT(good.out,
		ContainsRegex("\n  0 +Amount +standard \\(10\\) +0\\.25 +0\\.\\.1 +25 %\n"
					  "  1 +Caption +text \\(100\\) +\"hello\" +0\\.\\.0 +hello\n"));

	const ToolResult refuses = RunTool(FFGL_HOST_PATH, { "info", StandIn("RefusesInstance") });
	EXPECT_EQ(refuses.exitStatus, 0) << refuses.err;
	EXPECT_THAT(
		refuses.out, ContainsRegex("\n  1 +Caption +text \\(100\\) +\"hello\" +0\\.\\.0\n  Display texts unavailable"));
}

} // namespace
