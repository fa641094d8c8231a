#include "tests/windows/WglContext.h"

// The GL types wglext.h needs.
#include "ffglex/FFGLGL.h"

#include <GL/wglext.h>

#include <cstring>

namespace tests
{
namespace
{
constexpr wchar_t kWindowClass[] = L"TenebrixorTestGL";

bool RegisterWindowClass()
{
	WNDCLASSW windowClass = {};
	windowClass.style = CS_OWNDC;
	windowClass.lpfnWndProc = ::DefWindowProcW;
	windowClass.hInstance = ::GetModuleHandleW(nullptr);
	windowClass.lpszClassName = kWindowClass;
	return ::RegisterClassW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
} // namespace

WglContext::~WglContext()
{
	Destroy();
}

bool WglContext::Create(std::string& error)
{
	const auto fail = [&](const char* what)
	{
		error = std::string(what) + " (error " + std::to_string(::GetLastError()) + ")";
		Destroy();
		return false;
	};
	if (!RegisterWindowClass())
		return fail("RegisterClass failed");
	window = ::CreateWindowW(
		kWindowClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
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
	const HGLRC bootstrap = ::wglCreateContext(deviceContext);
	if (bootstrap == nullptr || !::wglMakeCurrent(deviceContext, bootstrap))
	{
		if (bootstrap != nullptr)
			::wglDeleteContext(bootstrap);
		return fail("wglCreateContext failed");
	}
	const PROC address = ::wglGetProcAddress("wglCreateContextAttribsARB");
	PFNWGLCREATECONTEXTATTRIBSARBPROC createContext = nullptr;
	std::memcpy(&createContext, &address, sizeof(createContext));
	const int attributes[] = {
		WGL_CONTEXT_MAJOR_VERSION_ARB,
		4,
		WGL_CONTEXT_MINOR_VERSION_ARB,
		1,
		WGL_CONTEXT_PROFILE_MASK_ARB,
		WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
		0,
	};
	if (createContext != nullptr)
		context = createContext(deviceContext, nullptr, attributes);
	::wglMakeCurrent(nullptr, nullptr);
	::wglDeleteContext(bootstrap);
	if (context == nullptr)
		return fail("no OpenGL 4.1 core context");
	if (!::wglMakeCurrent(deviceContext, context))
		return fail("wglMakeCurrent failed");
	return true;
}

void WglContext::Destroy()
{
	if (context != nullptr)
	{
		::wglMakeCurrent(nullptr, nullptr);
		::wglDeleteContext(context);
		context = nullptr;
	}
	if (deviceContext != nullptr)
	{
		::ReleaseDC(window, deviceContext);
		deviceContext = nullptr;
	}
	if (window != nullptr)
	{
		::DestroyWindow(window);
		window = nullptr;
	}
}
} // namespace tests
