// FFGLLog: the bridge to the host's log.
//
// The host installs its log function through the exported SetLogCallback;
// plug-in code hands texts to it with LogToHost. Nothing in the framework logs
// here on its own. Both calls come from the host's thread; the callback is a
// plain pointer and must not be replaced while another call is logging.
#pragma once

namespace FFGLLog
{
// The host's log function. It receives the caller's own text pointer.
using LogCallback = void (*)(char* text);

// Replaces the installed callback; null switches the bridge off.
void SetLogCallback(LogCallback callback);

// Calls the callback once with this very pointer (no copy, no newline added).
// Does nothing for a null text or when no callback is installed.
void LogToHost(const char* text);
} // namespace FFGLLog
