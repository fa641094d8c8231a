// WindowsPlugin: a plug-in DLL loaded the way a Windows host loads it, with
// LoadLibrary and the exported plugMain looked up by name.
#pragma once

#include "host/FFGLRecords.h"

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

	FFMixed Call(std::uint32_t code, FFMixed input = Number(0), void* instance = nullptr) const;
	// All eight bytes of the result.
	std::uint64_t Call64(std::uint32_t code, FFMixed input = Number(0), void* instance = nullptr) const;
	const char* CallText(std::uint32_t code, FFMixed input = Number(0), void* instance = nullptr) const;

	// Code 18 with the viewport; null when the plug-in refuses.
	void* Instantiate(const FFGLViewportStructTag& viewport) const;
	std::uint64_t SetParameter(void* instance, std::uint32_t index, float value) const;

	static FFMixed Number(std::uint32_t value);
	static FFMixed Pointer(const void* pointer);
	static std::uint32_t FloatBits(float value);

private:
	using PlugMain = FFMixed (*)(std::uint32_t, FFMixed, void*);

	HMODULE module = nullptr;
	PlugMain plugMain = nullptr;
};
} // namespace tests
