#include "tests/windows/WglFixture.h"

// The GL types wglext.h needs.
#include "ffglex/FFGLGL.h"

#include <GL/wglext.h>

#include <cstdlib>
#include <cstring>

namespace tests
{
void WglFixture::StartContext()
{
	std::string error;
	if (!Create(error))
	{
		const char* ci = std::getenv("CI");
		if (ci != nullptr && std::strcmp(ci, "true") == 0)
			FAIL() << error;
		GTEST_SKIP() << error << " (run the tests under xvfb-run)";
	}
	ASSERT_TRUE(ffglex::LoadGLFunctions()) << "the test's own GL functions";
}

bool WglFixture::Create(std::string& error)
{
	const auto fail = [&](const char* what)
	{
		error = std::string(what) + " (error " + std::to_string(::GetLastError()) + ")";
		WglFixture::TearDown();
		return false;
	};
	WNDCLASSW windowClass = {};
	windowClass.style = CS_OWNDC;
	windowClass.lpfnWndProc = ::DefWindowProcW;
	windowClass.hInstance = ::GetModuleHandleW(nullptr);
	windowClass.lpszClassName = L"TenebrixorTestGL";
	if (::RegisterClassW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
		return fail("RegisterClass failed");
	window = ::CreateWindowW(windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
		windowClass.hInstance, nullptr);
	if (window == nullptr)
		return fail("CreateWindow failed (no display?)");
	deviceContext = ::GetDC(window);
	PIXELFORMATDESCRIPTOR format = {};
	format.nSize = sizeof(format);
	format.nVersion = 1;
	format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
	format.iPixelType = PFD_TYPE_RGBA;
	format.cColorBits = 32;
	const int formatIndex = ::ChoosePixelFormat(deviceContext, &format);
	if (formatIndex == 0 || !::SetPixelFormat(deviceContext, formatIndex, &format))
		return fail("no OpenGL pixel format");

	// A core profile can only be asked for through an extension, which in turn
	// is only reachable while some context is current.
	context = ::wglCreateContext(deviceContext);
	if (context == nullptr || !::wglMakeCurrent(deviceContext, context))
		return fail("wglCreateContext failed");
	const PROC address = ::wglGetProcAddress("wglCreateContextAttribsARB");
	PFNWGLCREATECONTEXTATTRIBSARBPROC createContext = nullptr;
	std::memcpy(&createContext, &address, sizeof(createContext));
	const int attributes[] = { WGL_CONTEXT_MAJOR_VERSION_ARB, 4, WGL_CONTEXT_MINOR_VERSION_ARB, 1,
		WGL_CONTEXT_PROFILE_MASK_ARB, WGL_CONTEXT_CORE_PROFILE_BIT_ARB, 0 };
	const HGLRC bootstrap = context;
	context = createContext != nullptr ? createContext(deviceContext, nullptr, attributes) : nullptr;
	::wglMakeCurrent(nullptr, nullptr);
	::wglDeleteContext(bootstrap);
	if (context == nullptr || !::wglMakeCurrent(deviceContext, context))
		return fail("no current OpenGL 4.1 core context");
	return true;
}

void WglFixture::TearDown()
{
	if (context != nullptr)
	{
		::wglMakeCurrent(nullptr, nullptr);
		::wglDeleteContext(context);
	}
	if (deviceContext != nullptr)
		::ReleaseDC(window, deviceContext);
	if (window != nullptr)
		::DestroyWindow(window);
	context = nullptr;
	deviceContext = nullptr;
	window = nullptr;
}
} // namespace tests
