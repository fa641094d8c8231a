// ffgl-host's errors, as a program: every broken module and every wrong use
// ends in exactly one line "ffgl-host: error: ..." on standard error and the
// documented exit status, never in a crash of the host. None of these cases
// gets as far as a GL context; the last one hides the GL driver on purpose.
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <regex>

namespace
{

TEST(CommandError, IsOneLineAndTheDocumentedExitStatus)
{
	const struct
	{
		std::vector<std::string> args;
		int exitStatus;
		const char* error; // a regular expression for the text after "ffgl-host: error: "
	} cases[] = {
		{ { "info", StandIn("NoSuchModule") }, 1, "cannot load module: .*No such file or directory" },
		{ { "info", StandIn("NotALibrary") }, 1, "cannot load module: .*NotALibrary.so.*" },
		{ { "info", StandIn("ModuleNoPlugMain") }, 1, ".*exports no plugMain" },
		{ { "info", StandIn("NullInfo") }, 1, ".*no info record \\(code 0 answered null\\)" },
		{ { "info", StandIn("FailedInitialise") }, 1, ".*initialise \\(code 34 answered 0xFFFFFFFF\\)" },
		{ { "info", StandIn("FailedCount") }, 1, ".*no parameter count \\(code 4 answered FF_FAIL\\)" },
		{ { "info", StandIn("HugeCount") }, 1, ".*claims 2147483647 parameters.*" },
		{ { "info", StandIn("NullName") }, 1, ".*name of parameter 1 \\(code 5\\) is a null pointer" },
		{ { "info", StandIn("UnterminatedName") }, 1, ".*parameter 0 .*no terminating zero within 1024 bytes" },
		{ { "info", StandIn("WildDescription") }, 1, ".*description text points at unreadable memory" },
		{ { "info", StandIn("Crashes") }, 3, "the module crashed \\(SIGSEGV\\) in plugMain code 4" },
		{ { "info", StandIn("ModuleCrashesOnLoad") }, 3, "the module crashed \\(SIGSEGV\\) outside plugMain.*" },
		{ { "info", StandIn("Throws") }, 1, ".*: an exception escaped plugMain \\(function code 4\\)" },
		{ {}, 2, "no command given.*" },
		{ { "frobnicate" }, 2, "unknown command 'frobnicate'.*" },
		{ { "info" }, 2, "usage: ffgl-host info MODULE \\(try 'ffgl-host info --help'\\)" },
		{ { "validate", "a.so", "b.so" }, 2,
			"usage: ffgl-host validate \\[--json\\] MODULE: unexpected argument 'b.so'.*" },
		{ { "run", StandIn("NoSuchModule") }, 1, "cannot load module: .*No such file or directory" },
		{ { "run", StandIn("NullInfo") }, 1, ".*no info record \\(code 0 answered null\\)" },
		{ { "run", "a.so", "--size", "640x0" }, 2, "--size takes WIDTHxHEIGHT, each 1 to 16384, not '640x0'" },
		{ { "run", "a.so", "--fps", "1001" }, 2, "--fps takes .* up to 1000, not '1001'" },
		{ { "run", "a.so", "--fps", "0" }, 2, "--fps takes .* above 0 .*, not '0'" },
		{ { "run", "a.so", "--seconds", "0" }, 2, "--seconds takes a positive number, not '0'" },
		{ { "run", "a.so", "--fps", "1000" }, 1, "cannot load module: .*" }, // the options were fine
		{ { "run", "a.so", "--listen", "65536" }, 2, "--listen takes a UDP port from 1 to 65535, not '65536'" },
		{ { "run", "a.so", "--input", "" }, 2, "--input takes 'synthetic', 'synthetic-still', '-' .*" },
		{ { "calibrate", "--size", "64x36", "--live" }, 2, "option --live needs a value.*" },
		{ { "calibrate", "--live", "a", "--dropout", "b", "--size", "64x36", "--hold", "11" }, 2,
			"--hold takes seconds from 0 to 10, not '11'" },
		{ { "send", "--port", "9000", "--layer", "100" }, 2, "--layer takes 1 to 99, not '100'" },
		{ { "send", "--port", "9000", "--layer", "0" }, 2, "--layer takes 1 to 99, not '0'" },
	};
	for (const auto& c : cases)
	{
		const ToolResult result = RunFfglHost(c.args);
		SCOPED_TRACE(c.error);
		ExpectOneErrorLine(result, c.exitStatus, c.error);
		EXPECT_EQ(result.out, "");
	}
}

// One rule for every command: --help anywhere, even where a value or a module
// is missing or wrong, shows the command's help; an unknown option anywhere is
// one error line that names it, whatever else is wrong.
TEST(CommandError, EveryCommandShowsHelpAnywhereAndNamesAnUnknownOption)
{
	const std::vector<std::vector<std::string>> commands = { { "info", "a.so" }, { "validate", "--json", "a.so" },
		{ "run", "a.so", "--fps", "0" }, { "calibrate", "--size", "64x36", "--live" }, { "send", "--port", "9000" } };
	for (const std::vector<std::string>& args : commands)
	{
		SCOPED_TRACE(args[0]);
		for (std::size_t at = 1; at <= args.size(); ++at)
		{
			std::vector<std::string> help = args;
			help.insert(help.begin() + static_cast<std::ptrdiff_t>(at), "--help");
			const ToolResult result = RunFfglHost(help);
			EXPECT_EQ(result.exitStatus, 0) << result.err;
			EXPECT_THAT(result.out, ::testing::StartsWith("usage: ffgl-host " + args[0] + " "));
			EXPECT_EQ(result.err, "");
		}
		std::vector<std::string> unknown = args;
		unknown.insert(unknown.begin() + 1, "--bogus");
		ExpectOneErrorLine(
			RunFfglHost(unknown), 2, "unknown option '--bogus' \\(try 'ffgl-host " + args[0] + " --help'\\)");
	}
}

TEST(CommandError, UsageListsEveryCommandInOneColumn)
{
	const ToolResult result = RunFfglHost({ "--help" });
	EXPECT_EQ(result.exitStatus, 0);
	const std::regex row("\n  (info|run|validate) [^\n]*?  +[a-z]");
	std::vector<std::ptrdiff_t> columns;
	for (auto it = std::sregex_iterator(result.out.begin(), result.out.end(), row); it != std::sregex_iterator(); ++it)
		columns.push_back(it->length());
	EXPECT_THAT(columns, ::testing::ElementsAre(columns.at(0), columns.at(0), columns.at(0))) << result.out;
}

// Without a GL driver, info and validate blame the missing context, not the
// module, and name the package to install; validate's result is incomplete.
TEST(CommandError, WithoutAGLDriverNamesTheMissingPackage)
{
	const struct
	{
		const char* variable;
		const char* value;
		const char* package;
	} cases[] = {
		{ "__EGL_VENDOR_LIBRARY_FILENAMES", "/nonexistent.json", "libegl-mesa0" }, // no EGL driver at all
		{ "LIBGL_DRIVERS_PATH", "/nonexistent", "libgl1-mesa-dri" },               // Mesa's EGL without its renderer
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.variable);
		setenv(c.variable, c.value, 1);
		const ToolResult info = RunFfglHost({ "info", GUARD_MODULE_PATH });
		const ToolResult validate = RunFfglHost({ "validate", "--json", GUARD_MODULE_PATH });
		unsetenv(c.variable);
		const std::string missing =
			"no headless OpenGL 4.1 context: [^\n\"]*apt-get install [^\n\"]*" + std::string(c.package);
		EXPECT_EQ(info.exitStatus, 0) << info.err;
		EXPECT_THAT(info.out, ::testing::ContainsRegex("\n  Display texts unavailable: " + missing));
		EXPECT_EQ(validate.exitStatus, 4) << validate.err;
		const nlohmann::json report = nlohmann::json::parse(validate.out);
		EXPECT_THAT(report["checks"].dump(),
			::testing::ContainsRegex("\\{\"check\":\"gl-context\",\"detail\":\"instance and frame checks not run: " +
				missing + "[^\"]*\",\"status\":\"WARN\"\\}"));
		EXPECT_EQ(report["result"], "INCOMPLETE");
	}
}

} // namespace
