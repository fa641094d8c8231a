#include "tests/windows/WindowsPlugin.h"

#include <cstring>

namespace tests
{
namespace
{
std::wstring ProgramFolder()
{
	wchar_t path[MAX_PATH];
	const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
	std::wstring folder(path, length);
	const std::size_t slash = folder.find_last_of(L"\\/");
	return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}
} // namespace

WindowsPlugin::~WindowsPlugin()
{
	if (module != nullptr)
		::FreeLibrary(module);
}

bool WindowsPlugin::Load(const std::string& relativePath, std::string& error)
{
	const std::wstring path = ProgramFolder() + std::wstring(relativePath.begin(), relativePath.end());
	module = ::LoadLibraryW(path.c_str());
	if (module == nullptr)
	{
		error = "LoadLibrary failed for " + relativePath + " (error " + std::to_string(::GetLastError()) + ")";
		return false;
	}
	const FARPROC address = ::GetProcAddress(module, "plugMain");
	if (address == nullptr)
	{
		error = relativePath + " exports no plugMain";
		return false;
	}
	std::memcpy(&plugMain, &address, sizeof(plugMain));
	return true;
}

void* WindowsPlugin::Symbol(const char* name) const
{
	const FARPROC address = ::GetProcAddress(module, name);
	void* pointer;
	std::memcpy(&pointer, &address, sizeof(pointer));
	return pointer;
}

FFMixed WindowsPlugin::Call(std::uint32_t code, FFMixed input, void* instance) const
{
	return plugMain(code, input, instance);
}

std::uint64_t WindowsPlugin::Call64(std::uint32_t code, FFMixed input, void* instance) const
{
	return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(Call(code, input, instance).PointerValue));
}

const char* WindowsPlugin::CallText(std::uint32_t code, FFMixed input, void* instance) const
{
	return static_cast<const char*>(Call(code, input, instance).PointerValue);
}

void* WindowsPlugin::Instantiate(const FFGLViewportStructTag& viewport) const
{
	const std::uint64_t handle = Call64(FF_INSTANTIATE_GL, Pointer(&viewport));
	return handle == FF_FAIL ? nullptr : reinterpret_cast<void*>(static_cast<std::uintptr_t>(handle));
}

std::uint64_t WindowsPlugin::SetParameter(void* instance, std::uint32_t index, float value) const
{
	SetParameterStructTag record = {};
	record.ParameterNumber = index;
	record.NewParameterValue = Number(FloatBits(value));
	return Call64(FF_SET_PARAMETER, Pointer(&record), instance);
}

FFMixed WindowsPlugin::Number(std::uint32_t value)
{
	FFMixed mixed;
	mixed.PointerValue = reinterpret_cast<void*>(static_cast<std::uintptr_t>(value));
	return mixed;
}

FFMixed WindowsPlugin::Pointer(const void* pointer)
{
	FFMixed mixed;
	mixed.PointerValue = const_cast<void*>(pointer);
	return mixed;
}

std::uint32_t WindowsPlugin::FloatBits(float value)
{
	std::uint32_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	return bits;
}
} // namespace tests
