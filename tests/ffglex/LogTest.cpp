#include "ffglex/Log.h"

#include <gtest/gtest.h>

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
// newline after them, percent signs printed as they are. A null character
// pointer is written as nothing and loses nothing after it.
TEST(LogTest, PiecesBecomeOneLiteralLine)
{
	char infoLog[8] = "0:3(1)";
	const char* null = nullptr;
	EXPECT_EQ(Logged("error: ", infoLog), "error: 0:3(1)\n");
	EXPECT_EQ(Logged("a", 1, 'b', 2.5, std::string("c")), "a1b2.5c\n");
	EXPECT_EQ(Logged(std::string("100%s done %n")), "100%s done %n\n");
	EXPECT_EQ(Logged("before ", null, "after"), "before after\n");
}
} // namespace
