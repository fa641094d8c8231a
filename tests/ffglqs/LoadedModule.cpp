#include "tests/ffglqs/LoadedModule.h"

#include <dlfcn.h>

LoadedModule::LoadedModule(const std::string& path)
{
	// Local symbols: the modules of one process must never bind to each
	// other's copies of the framework.
	handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
	if(handle == nullptr)
	{
		const char* reason = dlerror();
		error = reason != nullptr ? reason : "dlopen failed";
		return;
	}
	plugMain = reinterpret_cast<FF_Main_FuncPtr>(dlsym(handle, "plugMain"));
	if(plugMain == nullptr)
		error = "no plugMain in " + path;
}

LoadedModule::~LoadedModule()
{
	if(plugMain != nullptr)
		CallNumber(FF_DEINITIALISE, 0);
	if(handle != nullptr)
		dlclose(handle);
}

FFMixed LoadedModule::Call(std::uint32_t code, FFMixed input, void* instance) const
{
	return plugMain(code, input, instance);
}

std::uint32_t LoadedModule::CallNumber(std::uint32_t code, std::uint32_t number, void* instance) const
{
	FFMixed input;
	input.PointerValue = nullptr;
	input.UIntValue = number;
	return Call(code, input, instance).UIntValue;
}

FFMixed LoadedModule::CallRecord(std::uint32_t code, const void* record, void* instance) const
{
	FFMixed input;
	input.PointerValue = const_cast<void*>(record);
	return Call(code, input, instance);
}

void* LoadedModule::Instantiate(std::uint32_t width, std::uint32_t height) const
{
	const FFGLViewportStructTag viewport = { 0, 0, width, height };
	void* instance = CallRecord(FF_INSTANTIATE_GL, &viewport).PointerValue;
	if(instance == nullptr || reinterpret_cast<std::uintptr_t>(instance) == FF_FAIL)
		return nullptr;
	return instance;
}

std::uint32_t LoadedModule::DeInstantiate(void* instance) const
{
	return CallNumber(FF_DEINSTANTIATE_GL, 0, instance);
}

std::uint32_t LoadedModule::SetFloat(void* instance, std::uint32_t index, float value) const
{
	SetParameterStructTag record = {};
	record.ParameterNumber = index;
	record.NewParameterValue.PointerValue = nullptr;
	std::memcpy(&record.NewParameterValue.UIntValue, &value, sizeof(value));
	return CallRecord(FF_SET_PARAMETER, &record, instance).UIntValue;
}

std::uint32_t LoadedModule::SetText(void* instance, std::uint32_t index, const char* text) const
{
	SetParameterStructTag record = {};
	record.ParameterNumber = index;
	record.NewParameterValue.PointerValue = const_cast<char*>(text);
	return CallRecord(FF_SET_PARAMETER, &record, instance).UIntValue;
}

float LoadedModule::GetFloat(void* instance, std::uint32_t index) const
{
	return AsFloat(CallNumber(FF_GET_PARAMETER, index, instance));
}

float LoadedModule::DefaultFloat(std::uint32_t index) const
{
	return AsFloat(CallNumber(FF_GET_PARAMETER_DEFAULT, index));
}

std::uint32_t LoadedModule::ProcessFrame(void* instance, std::vector<FFGLTextureStructTag*> inputs) const
{
	ProcessOpenGLStructTag record = {};
	record.numInputTextures = static_cast<std::uint32_t>(inputs.size());
	record.inputTextures = inputs.empty() ? nullptr : inputs.data();
	record.HostFBO = 0;
	return CallRecord(FF_PROCESS_OPENGL, &record, instance).UIntValue;
}
