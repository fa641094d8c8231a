// WindowsPlugin: a plug-in DLL loaded the way a Windows host loads it, with
// LoadLibrary and the exported plugMain looked up by name.
#pragma once

#include "host/FFGLMixed.h"

#include <cstdint>
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
	~WindowsPlugin();
	WindowsPlugin(const WindowsPlugin&) = delete;
	WindowsPlugin& operator=(const WindowsPlugin&) = delete;

	// Loads the DLL at relativePath, taken from the folder of the running
	// test program. On failure returns false and sets error to one line.
	bool Load(const std::string& relativePath, std::string& error);

	void* Symbol(const char* name) const;

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
	void* Instantiate(const FFGLViewportStructTag& viewport) const;
	std::uint64_t SetParameter(void* instance, std::uint32_t index, float value) const;

private:
	using PlugMain = FFMixed (*)(std::uint32_t, FFMixed, void*);

	HMODULE module = nullptr;
	PlugMain plugMain = nullptr;
};
} // namespace tests
