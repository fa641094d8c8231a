// WglContext: what a Windows host gives a plug-in to draw with, an OpenGL 4.1
// core-profile context on a (hidden) window, current on the calling thread.
// Under wine it needs an X display with GLX (the tests run under xvfb-run).
#pragma once

#include <string>

#ifndef NOMINMAX
#define NOMINMAX 1
#endif
#include <windows.h>

namespace tests
{
class WglContext
{
public:
	WglContext() = default;
	~WglContext();
	WglContext(const WglContext&) = delete;
	WglContext& operator=(const WglContext&) = delete;

	// Creates the window and context and makes the context current. On
	// failure returns false, sets error to one line and leaves nothing behind.
	bool Create(std::string& error);
	void Destroy();

private:
	HWND window = nullptr;
	HDC deviceContext = nullptr;
	HGLRC context = nullptr;
};
} // namespace tests
