// Arguments and whole results of plugMain calls, for the tests that drive a
// module loaded with ffgltool::PluginModule, as a host does.
#pragma once

#include "host/FFGLRecords.h"
#include "tools/PluginModule.h"

#include <cstdint>
#include <cstring>

namespace tests
{
constexpr std::uint64_t kFail64 = 0xFFFFFFFFull;

// A number argument with the upper four bytes zero, as a host passes it.
inline FFMixed Number(std::uint32_t value)
{
	FFMixed mixed;
	mixed.PointerValue = reinterpret_cast<void*>(static_cast<std::uintptr_t>(value));
	return mixed;
}

inline FFMixed Pointer(const void* pointer)
{
	FFMixed mixed;
	mixed.PointerValue = const_cast<void*>(pointer);
	return mixed;
}

inline std::uint32_t FloatBits(float value)
{
	std::uint32_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	return bits;
}

inline FFMixed FloatArg(float value)
{
	return Number(FloatBits(value));
}

// All eight bytes of the result: a 32-bit answer must have its upper half zero.
inline std::uint64_t Call64(
	const ffgltool::PluginModule& module, std::uint32_t code, FFMixed input = Number(0), void* instance = nullptr)
{
	return static_cast<std::uint64_t>(
		reinterpret_cast<std::uintptr_t>(module.Call(code, input, instance).PointerValue));
}

// A result read as a text pointer.
inline const char* CallText(
	const ffgltool::PluginModule& module, std::uint32_t code, FFMixed input = Number(0), void* instance = nullptr)
{
	return static_cast<const char*>(module.Call(code, input, instance).PointerValue);
}
} // namespace tests
