// Arguments and whole results of plugMain calls, for the tests that drive a
// module loaded with ffgltool::PluginModule, as a host does.
#pragma once

#include "host/FFGLMixed.h"
#include "tools/PluginModule.h"

#include <cstdint>

namespace tests
{
constexpr std::uint64_t kFail64 = 0xFFFFFFFFull;

inline FFMixed Number(std::uint32_t value)
{
	return FFGLMixed::FromUInt(value);
}

inline FFMixed Pointer(const void* pointer)
{
	return FFGLMixed::FromPointer(pointer);
}

// All eight bytes of the result: a 32-bit answer must have its upper half zero.
inline std::uint64_t Call64(
	const ffgltool::PluginModule& module, std::uint32_t code, FFMixed input = Number(0), void* instance = nullptr)
{
	return FFGLMixed::AllBits(module.Call(code, input, instance));
}
} // namespace tests
