// A plug-in module loaded the way a host loads it: dlopen, then the exported
// entry points looked up by name. Shared by the tests that drive a module
// through plugMain.
#pragma once

#include "host/FFGLRecords.h"

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace tests
{
using LogCallback = void (*)(char*);
using SetLogCallbackFn = void (*)(LogCallback);

// An argument carrying a number: the upper four bytes are zero, as a host
// passes it.
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

inline FFMixed FloatArg(float value)
{
	std::uint32_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	return Number(bits);
}

// The whole 8-byte result: a 32-bit answer must have its upper half zero.
inline std::uint64_t Bits(FFMixed mixed)
{
	return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(mixed.PointerValue));
}

inline std::uint32_t FloatBits(float value)
{
	std::uint32_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	return bits;
}

inline float FloatOf(FFMixed mixed)
{
	float value;
	std::memcpy(&value, &mixed.UIntValue, sizeof(value));
	return value;
}

constexpr std::uint64_t kFail64 = 0xFFFFFFFFull;

class PluginModule
{
public:
	explicit PluginModule(const char* path, int flags = RTLD_NOW | RTLD_LOCAL) :
		handle(dlopen(path, flags))
	{
		if (handle == nullptr)
		{
			const char* why = dlerror();
			error = why != nullptr ? why : "dlopen failed";
			return;
		}
		main = Lookup<FF_Main_FuncPtr>("plugMain");
		setLogCallback = Lookup<SetLogCallbackFn>("SetLogCallback");
	}
	~PluginModule()
	{
		if (handle != nullptr)
			dlclose(handle);
	}
	PluginModule(const PluginModule&) = delete;
	PluginModule& operator=(const PluginModule&) = delete;

	bool Loaded() const { return handle != nullptr && main != nullptr; }

	FFMixed Call(std::uint32_t code, FFMixed input = Number(0), void* instance = nullptr) const
	{
		return main(code, input, instance);
	}
	std::uint64_t Call64(std::uint32_t code, FFMixed input = Number(0), void* instance = nullptr) const
	{
		return Bits(Call(code, input, instance));
	}

	// The value of the exported registration pointer.
	void* RegistrationPointer() const
	{
		void* symbol = dlsym(handle, "g_CurrPluginInfo");
		return symbol != nullptr ? *static_cast<void**>(symbol) : nullptr;
	}

	void* Instantiate(std::uint32_t width = 640, std::uint32_t height = 480) const
	{
		FFGLViewportStructTag viewport{ 0, 0, width, height };
		FFMixed result = Call(FF_INSTANTIATE_GL, Pointer(&viewport));
		return Bits(result) == kFail64 ? nullptr : result.PointerValue;
	}

	template <typename F>
	F Lookup(const char* name) const
	{
		void* symbol = dlsym(handle, name);
		F function = nullptr;
		static_assert(sizeof(function) == sizeof(symbol), "function and object pointers differ");
		std::memcpy(&function, &symbol, sizeof(function));
		return function;
	}

	void* handle;
	std::string error;
	FF_Main_FuncPtr main = nullptr;
	SetLogCallbackFn setLogCallback = nullptr;
};
} // namespace tests
