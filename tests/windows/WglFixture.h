// A test fixture that gives the test what a Windows host gives a plug-in to
// draw with: an OpenGL 4.1 core-profile context on a hidden window, current on
// the test's thread. Under wine it needs an X display with GLX (ctest runs
// under xvfb-run); without one the test fails under CI=true and is skipped
// elsewhere, with the reason.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX 1
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace tests
{
class WglFixture : public ::testing::Test
{
protected:
	// Creates the window and context and resolves the GL functions the test
	// itself calls. Check IsSkipped() and HasFatalFailure() afterwards.
	void StartContext();
	void TearDown() override;

private:
	// Sets error to one line and releases what was made.
	bool Create(std::string& error);

	HWND window = nullptr;
	HDC deviceContext = nullptr;
	HGLRC context = nullptr;
};
} // namespace tests
