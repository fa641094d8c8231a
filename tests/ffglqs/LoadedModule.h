// LoadedModule: a plug-in module opened with dlopen and driven through its
// plugMain, as a host does. Tests that drive instances make a GL context
// current first.
#pragma once

#include "host/FFGLRecords.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class LoadedModule
{
public:
	explicit LoadedModule(const std::string& path);
	// Sends code 2 (the prototype is deleted) and unloads the module.
	~LoadedModule();
	LoadedModule(const LoadedModule&) = delete;
	LoadedModule& operator=(const LoadedModule&) = delete;

	bool IsLoaded() const { return plugMain != nullptr; }
	// Why loading failed; empty when it did not.
	const std::string& Error() const { return error; }

	FFMixed Call(std::uint32_t code, FFMixed input, void* instance = nullptr) const;
	std::uint32_t CallNumber(std::uint32_t code, std::uint32_t number, void* instance = nullptr) const;
	FFMixed CallRecord(std::uint32_t code, const void* record, void* instance = nullptr) const;

	// Code 18 with a viewport of width x height; null when it failed.
	void* Instantiate(std::uint32_t width, std::uint32_t height) const;
	std::uint32_t DeInstantiate(void* instance) const;

	std::uint32_t SetFloat(void* instance, std::uint32_t index, float value) const;
	std::uint32_t SetText(void* instance, std::uint32_t index, const char* text) const;
	float GetFloat(void* instance, std::uint32_t index) const;
	// Code 6 of a float parameter.
	float DefaultFloat(std::uint32_t index) const;
	// Code 17 with these inputs (entries may be null).
	std::uint32_t ProcessFrame(void* instance, std::vector<FFGLTextureStructTag*> inputs) const;

	static float AsFloat(std::uint32_t bits)
	{
		float value;
		std::memcpy(&value, &bits, sizeof(value));
		return value;
	}

private:
	void* handle = nullptr;
	FF_Main_FuncPtr plugMain = nullptr;
	std::string error;
};
