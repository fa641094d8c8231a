// FFGLMixed: packing numbers, floats and pointers into the 8-byte FFMixed that
// travels into and out of plugMain, and reading them back.
//
// One set of helpers for the plug-in side, the headless host and the tests, so
// that every 32-bit value goes out the same way: through the full pointer
// width, with the upper four bytes zero, as hosts compare all eight bytes.
#pragma once

#include "host/FFGLRecords.h"

#include <cstdint>
#include <cstring>

namespace FFGLMixed
{
// A 32-bit value with the upper four bytes zero.
inline FFMixed FromUInt(std::uint32_t value)
{
	FFMixed mixed;
	mixed.PointerValue = reinterpret_cast<void*>(static_cast<std::uintptr_t>(value));
	return mixed;
}

// Texts and records handed over stay owned by whoever passes them; the
// receiver only reads, hence the const on the way in.
inline FFMixed FromPointer(const void* pointer)
{
	FFMixed mixed;
	mixed.PointerValue = const_cast<void*>(pointer);
	return mixed;
}

// The IEEE-754 single-precision bit pattern of a float, and back.
inline std::uint32_t FloatBits(float value)
{
	std::uint32_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	return bits;
}

inline float FloatFromBits(std::uint32_t bits)
{
	float value;
	std::memcpy(&value, &bits, sizeof(value));
	return value;
}

// A float as its bit pattern in the low 32 bits, upper half zero.
inline FFMixed FromFloat(float value)
{
	return FromUInt(FloatBits(value));
}

// The float in the first four bytes.
inline float ToFloat(const FFMixed& mixed)
{
	return FloatFromBits(mixed.UIntValue);
}

// All eight bytes, for a caller that must tell a 32-bit answer from a pointer.
inline std::uint64_t AllBits(const FFMixed& mixed)
{
	return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(mixed.PointerValue));
}
} // namespace FFGLMixed
