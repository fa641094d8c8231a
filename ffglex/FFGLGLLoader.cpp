#include "ffglex/FFGLGL.h"
#include "ffglex/Log.h"

#include <cstdint>
#include <cstring>

#define FFGLEX_DEFINE_GL_POINTER(Type, name) Type name = nullptr;
FFGLEX_GL_FUNCTIONS(FFGLEX_DEFINE_GL_POINTER)
#undef FFGLEX_DEFINE_GL_POINTER

namespace ffglex
{
namespace
{
// wglGetProcAddress knows only what lies beyond OpenGL 1.1; the 1.1 functions
// (glViewport, glReadPixels, ...) are plain exports of opengl32.dll. Some
// drivers answer 1, 2, 3 or -1 instead of null for a name they do not serve.
PROC FindGLFunction(HMODULE openGL, const char* name)
{
	PROC address = ::wglGetProcAddress(name);
	const auto value = reinterpret_cast<std::intptr_t>(address);
	if (value >= -1 && value <= 3)
		address = openGL != nullptr ? ::GetProcAddress(openGL, name) : nullptr;
	return address;
}

template <typename Pointer>
bool Resolve(HMODULE openGL, const char* name, Pointer& pointer)
{
	const PROC address = FindGLFunction(openGL, name);
	if (address == nullptr)
	{
		Log("OpenGL function ", name, " is not available in the current context");
		return false;
	}
	// Between unrelated function pointer types, bit for bit.
	static_assert(sizeof(pointer) == sizeof(address), "function pointers differ in size");
	std::memcpy(&pointer, &address, sizeof(pointer));
	return true;
}

// InitOnceExecuteOnce callback: TRUE marks the work done for good, FALSE lets
// the next caller try again (with a context that may serve every function).
BOOL CALLBACK ResolveAll(PINIT_ONCE, PVOID, PVOID*)
{
	if (::wglGetCurrentContext() == nullptr)
	{
		Log("OpenGL functions cannot be resolved: no GL context is current");
		return FALSE;
	}
	const HMODULE openGL = ::GetModuleHandleW(L"opengl32.dll");
#define FFGLEX_RESOLVE_GL_POINTER(Type, name) \
	if (!Resolve(openGL, #name, name)) \
		return FALSE;
	FFGLEX_GL_FUNCTIONS(FFGLEX_RESOLVE_GL_POINTER)
#undef FFGLEX_RESOLVE_GL_POINTER
	return TRUE;
}

INIT_ONCE s_resolved = INIT_ONCE_STATIC_INIT;
} // namespace

bool LoadGLFunctions()
{
	return ::InitOnceExecuteOnce(&s_resolved, ResolveAll, nullptr, nullptr) != FALSE;
}
} // namespace ffglex
