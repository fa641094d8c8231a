#include "tools/PluginModule.h"

#include "host/FFGLMixed.h"
#include "tools/ModuleMemory.h"

#include <dlfcn.h>

#include <csignal>

namespace ffgltool
{
namespace
{

// Read by the crash report of CrashGuard from a signal handler.
volatile std::sig_atomic_t s_codeInFlight = PluginModule::kNoCall;

class CodeInFlightScope
{
public:
	explicit CodeInFlightScope(int code) : previous(s_codeInFlight) { s_codeInFlight = code; }
	~CodeInFlightScope() { s_codeInFlight = previous; }
	CodeInFlightScope(const CodeInFlightScope&) = delete;
	CodeInFlightScope& operator=(const CodeInFlightScope&) = delete;

private:
	int previous;
};

// dlerror texts are one line in practice; keep it so whatever the loader says.
std::string OneLine(const char* text)
{
	std::string line = text != nullptr ? text : "unknown loader error";
	for (char& c : line)
		if (c == '\n' || c == '\r')
			c = ' ';
	return line;
}

using FFGLMixed::FromPointer;
using FFGLMixed::FromUInt;

} // namespace

PluginFault::PluginFault(std::uint32_t code) :
	std::runtime_error("an exception escaped plugMain (function code " + std::to_string(code) + ")"),
	functionCode(code)
{
}

PluginModule::~PluginModule()
{
	Unload();
}

bool PluginModule::Load(const std::string& modulePath, std::string& error)
{
	Unload();
	if (modulePath.empty())
	{
		error = "no module path given";
		return false;
	}
	const std::string openPath = modulePath.find('/') == std::string::npos ? "./" + modulePath : modulePath;

	void* opened = nullptr;
	{
		CodeInFlightScope scope(kOutsidePlugMain);
		dlerror();
		opened = dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL);
	}
	if (opened == nullptr)
	{
		error = "cannot load module: " + OneLine(dlerror());
		return false;
	}

	dlerror();
	void* entry = dlsym(opened, "plugMain");
	if (entry == nullptr)
	{
		error = modulePath + ": not a plug-in module: it exports no plugMain";
		CodeInFlightScope scope(kOutsidePlugMain);
		dlclose(opened);
		return false;
	}

	handle = opened;
	// POSIX guarantees that a data pointer from dlsym converts to a function pointer.
	plugMain = reinterpret_cast<FF_Main_FuncPtr>(entry);
	path = modulePath;
	return true;
}

void PluginModule::Unload()
{
	if (handle != nullptr)
	{
		CodeInFlightScope scope(kOutsidePlugMain);
		dlclose(handle);
	}
	handle = nullptr;
	plugMain = nullptr;
	path.clear();
}

void* PluginModule::FindSymbol(const char* name) const
{
	return handle != nullptr ? dlsym(handle, name) : nullptr;
}

bool PluginModule::SetLogCallback(LogCallback callback) const
{
	void* symbol = FindSymbol("SetLogCallback");
	if (symbol == nullptr)
		return false;
	CodeInFlightScope scope(kOutsidePlugMain);
	reinterpret_cast<void (*)(LogCallback)>(symbol)(callback);
	return true;
}

FFMixed PluginModule::Call(std::uint32_t functionCode, FFMixed input, void* instance) const
{
	if (plugMain == nullptr)
		return FromUInt(FF_FAIL);
	CodeInFlightScope scope(static_cast<int>(functionCode & 0x7FFFFFFFu));
	try
	{
		return plugMain(functionCode, input, instance);
	}
	catch (...)
	{
		throw PluginFault(functionCode);
	}
}

std::uint32_t PluginModule::CallForCode(std::uint32_t functionCode, FFMixed input, void* instance) const
{
	return Call(functionCode, input, instance).UIntValue;
}

int PluginModule::CodeInFlight()
{
	return s_codeInFlight;
}

float PluginModule::FloatFromBits(std::uint32_t bits)
{
	return FFGLMixed::FloatFromBits(bits);
}

// --- Global queries ---------------------------------------------------------

const PluginInfoStructTag* PluginModule::GetInfo() const
{
	return static_cast<const PluginInfoStructTag*>(Call(FF_GET_INFO, FromUInt(0), nullptr).PointerValue);
}

const PluginExtendedInfoStructTag* PluginModule::GetExtendedInfo() const
{
	return static_cast<const PluginExtendedInfoStructTag*>(
		Call(FF_GET_EXTENDED_INFO, FromUInt(0), nullptr).PointerValue);
}

bool PluginModule::CopyInfo(PluginInfoStructTag& info, std::string& error) const
{
	const PluginInfoStructTag* record = GetInfo();
	if (record == nullptr)
		error = "the module gives no info record (code 0 answered null)";
	else if (!SafeCopy(record, &info, sizeof info))
		error = "the info record of code 0 points at unreadable memory";
	else
		return true;
	return false;
}

std::uint32_t PluginModule::Initialise() const
{
	return CallForCode(FF_INITIALISE_V2, FromUInt(0), nullptr);
}

std::uint32_t PluginModule::DeInitialise() const
{
	return CallForCode(FF_DEINITIALISE, FromUInt(0), nullptr);
}

std::uint32_t PluginModule::GetNumParameters() const
{
	return CallForCode(FF_GET_NUM_PARAMETERS, FromUInt(0), nullptr);
}

const char* PluginModule::GetParameterName(std::uint32_t index) const
{
	return static_cast<const char*>(Call(FF_GET_PARAMETER_NAME, FromUInt(index), nullptr).PointerValue);
}

FFMixed PluginModule::GetParameterDefault(std::uint32_t index) const
{
	return Call(FF_GET_PARAMETER_DEFAULT, FromUInt(index), nullptr);
}

std::uint32_t PluginModule::GetParameterType(std::uint32_t index) const
{
	return CallForCode(FF_GET_PARAMETER_TYPE, FromUInt(index), nullptr);
}

std::uint32_t PluginModule::GetParameterUsage(std::uint32_t index) const
{
	return CallForCode(FF_GET_PARAMETER_USAGE, FromUInt(index), nullptr);
}

std::uint32_t PluginModule::GetPluginCaps(std::uint32_t capability) const
{
	return CallForCode(FF_GET_PLUGIN_CAPS, FromUInt(capability), nullptr);
}

const char* PluginModule::GetPluginShortName() const
{
	return static_cast<const char*>(Call(FF_GET_PLUGIN_SHORT_NAME, FromUInt(0), nullptr).PointerValue);
}

std::uint32_t PluginModule::GetParamRange(std::uint32_t index, float& min, float& max) const
{
	GetRangeStructTag record{};
	record.ParameterNumber = index;
	const std::uint32_t result = CallForCode(FF_GET_RANGE, FromPointer(&record), nullptr);
	if (result == FF_SUCCESS)
	{
		min = record.min;
		max = record.max;
	}
	return result;
}

std::uint32_t PluginModule::GetThumbnail(GetThumbnailStructTag& record) const
{
	return CallForCode(FF_GET_THUMBNAIL, FromPointer(&record), nullptr);
}

std::uint32_t PluginModule::GetNumFileParameterExtensions(std::uint32_t index) const
{
	return CallForCode(FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, FromUInt(index), nullptr);
}

const char* PluginModule::GetFileParameterExtension(std::uint32_t index, std::uint32_t extension) const
{
	ParamElementStructTag record{ index, extension };
	return static_cast<const char*>(Call(FF_GET_FILE_PARAMETER_EXTENSION, FromPointer(&record), nullptr).PointerValue);
}

std::uint32_t PluginModule::GetNumElementSeparators(std::uint32_t index) const
{
	return CallForCode(FF_GET_NUM_ELEMENT_SEPARATORS, FromUInt(index), nullptr);
}

std::uint32_t PluginModule::GetElementSeparatorElementIndex(std::uint32_t index, std::uint32_t separator) const
{
	ParamElementStructTag record{ index, separator };
	return CallForCode(FF_GET_SEPARATOR_ELEMENT_INDEX, FromPointer(&record), nullptr);
}

std::uint32_t PluginModule::GetParamGroup(std::uint32_t index, char* buffer, std::uint32_t maxToWrite) const
{
	GetStringStructTag record{};
	record.ParameterNumber = index;
	record.stringBuffer.address = buffer;
	record.stringBuffer.maxToWrite = maxToWrite;
	return CallForCode(FF_GET_PARAM_GROUP, FromPointer(&record), nullptr);
}

// --- Queries with an optional instance --------------------------------------

std::uint32_t PluginModule::GetNumParameterElements(std::uint32_t index, void* instance) const
{
	return CallForCode(FF_GET_NUM_PARAMETER_ELEMENTS, FromUInt(index), instance);
}

const char* PluginModule::GetParameterElementName(std::uint32_t index, std::uint32_t element, void* instance) const
{
	ParamElementStructTag record{ index, element };
	return static_cast<const char*>(Call(FF_GET_PARAMETER_ELEMENT_NAME, FromPointer(&record), instance).PointerValue);
}

std::uint32_t PluginModule::GetParameterElementValue(std::uint32_t index, std::uint32_t element, void* instance) const
{
	ParamElementStructTag record{ index, element };
	return CallForCode(FF_GET_PARAMETER_ELEMENT_VALUE, FromPointer(&record), instance);
}

std::uint32_t PluginModule::GetParameterVisibility(std::uint32_t index, void* instance) const
{
	return CallForCode(FF_GET_PARAMETER_VISIBILITY, FromUInt(index), instance);
}

// --- Instances ----------------------------------------------------------------

void* PluginModule::Instantiate(const FFGLViewportStructTag& viewport) const
{
	const FFMixed result = Call(FF_INSTANTIATE_GL, FromPointer(&viewport), nullptr);
	// A refusal is FF_FAIL as a 32-bit value (upper half zero), not null; a
	// null pointer is refused as well, since no instance can live there.
	const auto bits = reinterpret_cast<std::uintptr_t>(result.PointerValue);
	if (bits == 0 || bits == FF_FAIL)
		return nullptr;
	return result.PointerValue;
}

std::uint32_t PluginModule::DeInstantiate(void* instance) const
{
	return CallForCode(FF_DEINSTANTIATE_GL, FromUInt(0), instance);
}

std::uint32_t PluginModule::ProcessOpenGL(void* instance, ProcessOpenGLStructTag& frame) const
{
	return CallForCode(FF_PROCESS_OPENGL, FromPointer(&frame), instance);
}

const char* PluginModule::GetParameterDisplay(void* instance, std::uint32_t index) const
{
	return static_cast<const char*>(Call(FF_GET_PARAMETER_DISPLAY, FromUInt(index), instance).PointerValue);
}

std::uint32_t PluginModule::SetFloatParameter(void* instance, std::uint32_t index, float value) const
{
	SetParameterStructTag record{};
	record.ParameterNumber = index;
	record.NewParameterValue = FFGLMixed::FromFloat(value);
	return CallForCode(FF_SET_PARAMETER, FromPointer(&record), instance);
}

std::uint32_t PluginModule::SetTextParameter(void* instance, std::uint32_t index, const char* value) const
{
	SetParameterStructTag record{};
	record.ParameterNumber = index;
	record.NewParameterValue.PointerValue = const_cast<char*>(value);
	return CallForCode(FF_SET_PARAMETER, FromPointer(&record), instance);
}

FFMixed PluginModule::GetParameter(void* instance, std::uint32_t index) const
{
	return Call(FF_GET_PARAMETER, FromUInt(index), instance);
}

std::uint32_t PluginModule::GetInputStatus(void* instance, std::uint32_t input) const
{
	return CallForCode(FF_GET_INPUT_STATUS, FromUInt(input), instance);
}

std::uint32_t PluginModule::SetTime(void* instance, double seconds) const
{
	return CallForCode(FF_SET_TIME, FromPointer(&seconds), instance);
}

std::uint32_t PluginModule::Connect(void* instance) const
{
	return CallForCode(FF_CONNECT, FromUInt(0), instance);
}

std::uint32_t PluginModule::Disconnect(void* instance) const
{
	return CallForCode(FF_DISCONNECT, FromUInt(0), instance);
}

std::uint32_t PluginModule::Resize(void* instance, const FFGLViewportStructTag& viewport) const
{
	return CallForCode(FF_RESIZE, FromPointer(&viewport), instance);
}

std::uint32_t PluginModule::SetParameterElementValue(
	void* instance, std::uint32_t index, std::uint32_t element, float value) const
{
	SetParameterElementValueStructTag record{};
	record.ParameterNumber = index;
	record.ElementNumber = element;
	record.NewParameterValue = FFGLMixed::FromFloat(value);
	return CallForCode(FF_SET_PARAMETER_ELEMENT_VALUE, FromPointer(&record), instance);
}

std::uint32_t PluginModule::SetBeatInfo(void* instance, float bpm, float barPhase) const
{
	SetBeatInfoStructTag record{ bpm, barPhase };
	return CallForCode(FF_SET_BEATINFO, FromPointer(&record), instance);
}

std::uint32_t PluginModule::SetHostInfo(void* instance, const char* name, const char* version) const
{
	SetHostInfoStructTag record{ name, version };
	return CallForCode(FF_SET_HOSTINFO, FromPointer(&record), instance);
}

std::uint32_t PluginModule::SetSampleRate(void* instance, std::uint32_t rate) const
{
	return CallForCode(FF_SET_SAMPLERATE, FromUInt(rate), instance);
}

std::uint32_t PluginModule::GetParamEvents(void* instance, GetParamEventsStructTag& record) const
{
	return CallForCode(FF_GET_PARAMETER_EVENTS, FromPointer(&record), instance);
}

std::uint32_t PluginModule::EnablePluginCap(void* instance, std::uint32_t capability) const
{
	return CallForCode(FF_ENABLE_PLUGIN_CAP, FromUInt(capability), instance);
}

std::uint32_t PluginModule::GetParamDisplayName(
	void* instance, std::uint32_t index, char* buffer, std::uint32_t maxToWrite) const
{
	GetStringStructTag record{};
	record.ParameterNumber = index;
	record.stringBuffer.address = buffer;
	record.stringBuffer.maxToWrite = maxToWrite;
	return CallForCode(FF_GET_PARAM_DISPLAY_NAME, FromPointer(&record), instance);
}

} // namespace ffgltool
