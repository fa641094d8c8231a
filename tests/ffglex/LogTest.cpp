#include "ffglex/Log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
template <typename... Pieces>
std::string Logged(const Pieces&... pieces)
{
	::testing::internal::CaptureStdout();
	ffglex::Log(pieces...);
	return ::testing::internal::GetCapturedStdout();
}

// One line per message: the pieces in order, nothing between them, one
// newline after them, percent signs printed as they are.
TEST(LogTest, PiecesBecomeOneLiteralLine)
{
	char infoLog[1024] = {};
	std::strcpy(infoLog, "0:3(1): error: syntax error");
	const char* pointer = infoLog;
	EXPECT_EQ(Logged("Fragment Shader error: ", infoLog), "Fragment Shader error: 0:3(1): error: syntax error\n");
	EXPECT_EQ(Logged("Vertex Shader error: ", pointer), "Vertex Shader error: 0:3(1): error: syntax error\n");
	EXPECT_EQ(Logged("a", 1, 'b', 2.5, std::string("c")), "a1b2.5c\n");
	EXPECT_EQ(Logged(std::string("100%s done %d %n")), "100%s done %d %n\n");
	EXPECT_EQ(Logged("%s", "%x"), "%s%x\n");
	EXPECT_EQ(Logged(""), "\n");
}

// A null character pointer would put the stream into a failed state and lose
// everything after it; it is written as nothing instead.
TEST(LogTest, NullPieceDropsNothingElse)
{
	const char* null = nullptr;
	EXPECT_EQ(Logged("before ", null, "after"), "before after\n");
}
} // namespace
