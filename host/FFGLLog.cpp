#include "host/FFGLLog.h"

namespace
{
FFGLLog::LogCallback s_logCallback = nullptr;
}

namespace FFGLLog
{
void SetLogCallback(LogCallback callback)
{
	s_logCallback = callback;
}

void LogToHost(const char* text)
{
	if (text == nullptr || s_logCallback == nullptr)
		return;
	// The host's signature takes a non-const pointer but only reads the text.
	s_logCallback(const_cast<char*>(text));
}
} // namespace FFGLLog
