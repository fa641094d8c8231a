#include "ffglex/Log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

namespace
{
template <typename... Pieces>
std::string Logged(const Pieces&... pieces)
{
	CaptureStdout();
	ffglex::Log(pieces...);
	return GetCapturedStdout();
}
} // namespace

TEST(LogTest, PrefixAndInfoLogBecomeOneLine)
{
	char infoLog[1024] = {};
	std::strcpy(infoLog, "0:3(1): error: syntax error");
	EXPECT_EQ(Logged("Fragment Shader error: ", infoLog), "Fragment Shader error: 0:3(1): error: syntax error\n");
	const char* pointer = infoLog;
	EXPECT_EQ(Logged("Vertex Shader error: ", pointer), "Vertex Shader error: 0:3(1): error: syntax error\n");
}

TEST(LogTest, MessagesArePrintedLiterally)
{
	EXPECT_EQ(Logged(std::string("100%s done %d %n")), "100%s done %d %n\n");
	EXPECT_EQ(Logged("%s", "%x"), "%s%x\n");
	EXPECT_EQ(Logged(std::string()), "\n");
	EXPECT_EQ(Logged(""), "\n");
}

TEST(LogTest, PiecesOfAnyStreamableKindWithoutSeparators)
{
	EXPECT_EQ(Logged("a", 1, 'b', 2.5, std::string("c")), "a1b2.5c\n");
}

// A null character pointer would put the stream into a failed state and lose
// everything after it; it is written as nothing instead.
TEST(LogTest, NullPieceDropsNothingElse)
{
	const char* null = nullptr;
	EXPECT_EQ(Logged("before ", null, "after"), "before after\n");
}

TEST(LogTest, BuilderWritesIntoAnyStream)
{
	std::ostringstream stream;
	ffglex::VariadicMessageBuilder(stream, "x = ", 3, ", y = ", 4);
	EXPECT_EQ(stream.str(), "x = 3, y = 4");
}
