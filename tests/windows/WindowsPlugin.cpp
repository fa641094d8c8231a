#include "tests/windows/WindowsPlugin.h"

#include <cstring>

namespace tests
{
WindowsPlugin::~WindowsPlugin()
{
	if (module != nullptr)
		::FreeLibrary(module);
}

bool WindowsPlugin::Load(const std::string& relativePath, std::string& error)
{
	wchar_t program[MAX_PATH];
	std::wstring path(program, ::GetModuleFileNameW(nullptr, program, MAX_PATH));
	path.erase(path.find_last_of(L"\\/") + 1);
	path += std::wstring(relativePath.begin(), relativePath.end());
	module = ::LoadLibraryW(path.c_str());
	if (module == nullptr)
	{
		error = "LoadLibrary failed for " + relativePath + " (error " + std::to_string(::GetLastError()) + ")";
		return false;
	}
	const FARPROC address = ::GetProcAddress(module, "plugMain");
	std::memcpy(&plugMain, &address, sizeof(plugMain));
	if (plugMain == nullptr)
		error = relativePath + " exports no plugMain";
	return plugMain != nullptr;
}

void* WindowsPlugin::Symbol(const char* name) const
{
	const FARPROC address = ::GetProcAddress(module, name);
	void* pointer;
	std::memcpy(&pointer, &address, sizeof(pointer));
	return pointer;
}

void* WindowsPlugin::Instantiate(const FFGLViewportStructTag& viewport) const
{
	const FFMixed handle = Call(FF_INSTANTIATE_GL, FFGLMixed::FromPointer(&viewport));
	return FFGLMixed::AllBits(handle) == FF_FAIL ? nullptr : handle.PointerValue;
}

std::uint64_t WindowsPlugin::SetParameter(void* instance, std::uint32_t index, float value) const
{
	SetParameterStructTag record = { index, FFGLMixed::FromFloat(value) };
	return Call64(FF_SET_PARAMETER, FFGLMixed::FromPointer(&record), instance);
}
} // namespace tests
