#include "host/FFGLEntryPoint.h"
#include "host/FFGLLog.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<char*> s_received;

void Receive(char* text)
{
	s_received.push_back(text);
}

TEST(LogBridgeTest, HandsTheVeryTextToTheInstalledCallbackOnly)
{
	s_received.clear();
	FFGLLog::SetLogCallback(nullptr);
	FFGLLog::LogToHost("before");
	EXPECT_TRUE(s_received.empty());

	// Installed through the exported entry point, as a host does.
	SetLogCallback(Receive);
	const char* text = "100% done\n";
	FFGLLog::LogToHost(text);
	FFGLLog::LogToHost(nullptr);
	ASSERT_EQ(s_received.size(), 1u);
	EXPECT_EQ(s_received[0], text);

	SetLogCallback(nullptr);
	FFGLLog::LogToHost("after");
	EXPECT_EQ(s_received.size(), 1u);
}
} // namespace
