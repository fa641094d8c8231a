// WindowsPlugin: a plug-in DLL loaded the way a Windows host loads it, with
// LoadLibrary and the exported plugMain looked up by name.
#pragma once

#include "host/FFGLMixed.h"

#include <cstdint>
#include <cstring>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX 1
#endif
#include <windows.h>

namespace tests
{
class WindowsPlugin
{
public:
	WindowsPlugin() = default;
	~WindowsPlugin()
	{
		if (module != nullptr)
			::FreeLibrary(module);
	}
	WindowsPlugin(const WindowsPlugin&) = delete;
	WindowsPlugin& operator=(const WindowsPlugin&) = delete;

	// Loads the DLL at relativePath, taken from the folder of the running
	// test program. On failure returns false and sets error to one line.
	bool Load(const std::string& relativePath, std::string& error)
	{
		wchar_t program[MAX_PATH];
		std::wstring path(program, ::GetModuleFileNameW(nullptr, program, MAX_PATH));
		path.erase(path.find_last_of(L"\\/") + 1);
		module = ::LoadLibraryW((path + std::wstring(relativePath.begin(), relativePath.end())).c_str());
		const void* entry = module != nullptr ? Symbol("plugMain") : nullptr;
		std::memcpy(&plugMain, &entry, sizeof(plugMain));
		error = relativePath + (module == nullptr ? " does not load" : " exports no plugMain") + " (error " +
			std::to_string(::GetLastError()) + ")";
		return plugMain != nullptr;
	}

	void* Symbol(const char* name) const
	{
		const FARPROC address = ::GetProcAddress(module, name);
		void* pointer;
		std::memcpy(&pointer, &address, sizeof(pointer));
		return pointer;
	}

	FFMixed Call(std::uint32_t code, FFMixed input = FFGLMixed::FromUInt(0), void* instance = nullptr) const
	{
		return plugMain(code, input, instance);
	}
	// All eight bytes of the result.
	std::uint64_t Call64(std::uint32_t code, FFMixed input = FFGLMixed::FromUInt(0), void* instance = nullptr) const
	{
		return FFGLMixed::AllBits(Call(code, input, instance));
	}
	const char* CallText(std::uint32_t code, std::uint32_t number, void* instance = nullptr) const
	{
		return static_cast<const char*>(Call(code, FFGLMixed::FromUInt(number), instance).PointerValue);
	}

	// Code 18 with the viewport; null when the plug-in refuses.
	void* Instantiate(const FFGLViewportStructTag& viewport) const
	{
		const FFMixed handle = Call(FF_INSTANTIATE_GL, FFGLMixed::FromPointer(&viewport));
		return FFGLMixed::AllBits(handle) == FF_FAIL ? nullptr : handle.PointerValue;
	}
	std::uint64_t SetParameter(void* instance, std::uint32_t index, float value) const
	{
		SetParameterStructTag record = { index, FFGLMixed::FromFloat(value) };
		return Call64(FF_SET_PARAMETER, FFGLMixed::FromPointer(&record), instance);
	}

private:
	HMODULE module = nullptr;
	FFMixed (*plugMain)(std::uint32_t, FFMixed, void*) = nullptr;
};
} // namespace tests
