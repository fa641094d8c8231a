#include "host/FFGLEntryPoint.h"
#include "host/FFGLLog.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<char*> s_received;

// The very text reaches the callback installed through the exported entry
// point, as a host installs it; nothing is sent without one.
TEST(LogBridgeTest, HandsTheVeryTextToTheInstalledCallbackOnly)
{
	FFGLLog::LogToHost("before");
	SetLogCallback([](char* text) { s_received.push_back(text); });
	const char* text = "100% done\n";
	FFGLLog::LogToHost(text);
	FFGLLog::LogToHost(nullptr);
	SetLogCallback(nullptr);
	FFGLLog::LogToHost("after");
	ASSERT_EQ(s_received.size(), 1u);
	EXPECT_EQ(s_received[0], text);
}
} // namespace
