#include "host/FFGLEntryPoint.h"

#include "core/FFGLPlugin.h"
#include "host/FFGLDispatch.h"

#include <cstdint>
#include <cstring>

namespace
{
FFMixed Result32(std::uint32_t value)
{
	// Through the full pointer width, so the upper four bytes are zero.
	FFMixed result;
	result.PointerValue = reinterpret_cast<void*>(static_cast<std::uintptr_t>(value));
	return result;
}

FFMixed ResultPointer(const void* pointer)
{
	// Texts handed to the host stay owned by the plug-in; the host only reads.
	FFMixed result;
	result.PointerValue = const_cast<void*>(pointer);
	return result;
}

FFMixed ResultFloat(float value)
{
	std::uint32_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	return Result32(bits);
}

float FloatFromMixed(const FFMixed& value)
{
	float result;
	std::memcpy(&result, &value.UIntValue, sizeof(result));
	return result;
}

// What a request answers when it cannot be carried out: null for the requests
// whose result is a text or record pointer, FF_FAIL for all others (code 18
// included, whose failure is the 32-bit value, not null).
FFMixed FailureValue(std::uint32_t functionCode)
{
	switch (functionCode)
	{
	case FF_GET_INFO:
	case FF_GET_PARAMETER_NAME:
	case FF_GET_PARAMETER_DISPLAY:
	case FF_GET_EXTENDED_INFO:
	case FF_GET_PLUGIN_SHORT_NAME:
	case FF_GET_PARAMETER_ELEMENT_NAME:
	case FF_GET_FILE_PARAMETER_EXTENSION:
		return ResultPointer(nullptr);
	default:
		return Result32(FF_FAIL);
	}
}

FFMixed Dispatch(std::uint32_t functionCode, FFMixed input, CFFGLPlugin* instance)
{
	const std::uint32_t number = input.UIntValue;
	void* const record = input.PointerValue;

	switch (functionCode)
	{
	// Global requests: the instance handle plays no part.
	case FF_GET_INFO:
		return ResultPointer(getInfo());
	case FF_DEINITIALISE:
		return Result32(deInitialise());
	case FF_GET_NUM_PARAMETERS:
		return Result32(getNumParameters());
	case FF_GET_PARAMETER_NAME:
		return ResultPointer(getParameterName(number));
	case FF_GET_PARAMETER_DEFAULT:
		return getParameterDefault(number);
	case FF_GET_PLUGIN_CAPS:
		return Result32(getPluginCaps(number));
	case FF_GET_EXTENDED_INFO:
		return ResultPointer(getExtendedInfo());
	case FF_GET_PARAMETER_TYPE:
		return Result32(getParameterType(number));
	case FF_INSTANTIATE_GL:
		return instantiateGL(static_cast<const FFGLViewportStructTag*>(record));
	case FF_GET_PARAMETER_USAGE:
		return Result32(getParameterUsage(number));
	case FF_GET_PLUGIN_SHORT_NAME:
		return ResultPointer(getPluginShortName());
	case FF_INITIALISE_V2:
		return Result32(initialise());
	case FF_GET_RANGE:
		return Result32(getParamRange(static_cast<GetRangeStructTag*>(record)));
	case FF_GET_THUMBNAIL:
		return Result32(getThumbnail(static_cast<GetThumbnailStructTag*>(record)));
	case FF_GET_NUM_FILE_PARAMETER_EXTENSIONS:
		return Result32(getNumFileParameterExtensions(number));
	case FF_GET_FILE_PARAMETER_EXTENSION:
	{
		const auto* element = static_cast<const ParamElementStructTag*>(record);
		if (element == nullptr)
			return ResultPointer(nullptr);
		return ResultPointer(getFileParameterExtension(element->ParameterNumber, element->ElementNumber));
	}
	case FF_GET_NUM_ELEMENT_SEPARATORS:
		return Result32(GetNumElementSeparators(number));
	case FF_GET_SEPARATOR_ELEMENT_INDEX:
	{
		const auto* element = static_cast<const ParamElementStructTag*>(record);
		if (element == nullptr)
			return Result32(FF_FAIL);
		return Result32(GetElementSeparatorElementIndex(element->ParameterNumber, element->ElementNumber));
	}
	case FF_GET_PARAM_GROUP:
		return Result32(getParamGroup(static_cast<GetStringStructTag*>(record)));

	// Requests where a null handle stands for the prototype.
	case FF_GET_NUM_PARAMETER_ELEMENTS:
		return Result32(getNumParameterElements(number, instance));
	case FF_GET_PARAMETER_ELEMENT_NAME:
	{
		const auto* element = static_cast<const ParamElementStructTag*>(record);
		if (element == nullptr)
			return ResultPointer(nullptr);
		return ResultPointer(getParameterElementName(element->ParameterNumber, element->ElementNumber, instance));
	}
	case FF_GET_PARAMETER_ELEMENT_VALUE:
	{
		const auto* element = static_cast<const ParamElementStructTag*>(record);
		if (element == nullptr)
			return Result32(FF_FAIL);
		return Result32(getParameterElementValue(element->ParameterNumber, element->ElementNumber, instance));
	}
	case FF_GET_PARAMETER_VISIBILITY:
		if (instance == nullptr)
			return Result32(getDefaultParameterVisibility(number));
		return Result32(instance->GetParamVisibility(number));

	default:
		break;
	}

	// Every request below needs an instance.
	if (instance == nullptr)
		return Result32(FF_FAIL);

	switch (functionCode)
	{
	case FF_GET_PARAMETER_DISPLAY:
		return ResultPointer(instance->GetParameterDisplay(number));
	case FF_SET_PARAMETER:
	{
		const auto* set = static_cast<const SetParameterStructTag*>(record);
		if (set == nullptr)
			return Result32(FF_FAIL);
		// The type always comes from the prototype's registry.
		if (IsTextLikeParamType(getParameterType(set->ParameterNumber)))
		{
			const char* text = static_cast<const char*>(set->NewParameterValue.PointerValue);
			return Result32(instance->SetTextParameter(set->ParameterNumber, text != nullptr ? text : ""));
		}
		return Result32(instance->SetFloatParameter(set->ParameterNumber, FloatFromMixed(set->NewParameterValue)));
	}
	case FF_GET_PARAMETER:
		if (IsTextLikeParamType(getParameterType(number)))
			return ResultPointer(instance->GetTextParameter(number));
		return ResultFloat(instance->GetFloatParameter(number));
	case FF_GET_INPUT_STATUS:
		return Result32(instance->GetInputStatus(number));
	case FF_PROCESS_OPENGL:
		return Result32(processGL(instance, static_cast<ProcessOpenGLStructTag*>(record)));
	case FF_DEINSTANTIATE_GL:
		return Result32(deInstantiateGL(instance));
	case FF_SET_TIME:
	{
		if (record == nullptr)
			return Result32(FF_FAIL);
		double time;
		std::memcpy(&time, record, sizeof(time));
		return Result32(instance->SetTime(time));
	}
	case FF_CONNECT:
	{
		const unsigned int result = instance->Connect();
		if (result == FF_SUCCESS)
			instance->connected = true;
		return Result32(result);
	}
	case FF_DISCONNECT:
	{
		const unsigned int result = instance->Disconnect();
		if (result == FF_SUCCESS)
			instance->connected = false;
		return Result32(result);
	}
	case FF_RESIZE:
	{
		const auto* viewport = static_cast<const FFGLViewportStructTag*>(record);
		if (viewport == nullptr)
			return Result32(FF_FAIL);
		return Result32(instance->Resize(viewport));
	}
	case FF_SET_PARAMETER_ELEMENT_VALUE:
	{
		const auto* set = static_cast<const SetParameterElementValueStructTag*>(record);
		if (set == nullptr)
			return Result32(FF_FAIL);
		return Result32(instance->SetParamElementValue(
			set->ParameterNumber, set->ElementNumber, FloatFromMixed(set->NewParameterValue)));
	}
	case FF_SET_BEATINFO:
	{
		const auto* beat = static_cast<const SetBeatInfoStructTag*>(record);
		if (beat == nullptr)
			return Result32(FF_FAIL);
		instance->SetBeatInfo(beat->bpm, beat->barPhase);
		return Result32(FF_SUCCESS);
	}
	case FF_SET_HOSTINFO:
	{
		const auto* host = static_cast<const SetHostInfoStructTag*>(record);
		if (host == nullptr)
			return Result32(FF_FAIL);
		// Overrides get texts they can copy without a check.
		instance->SetHostInfo(
			host->hostName != nullptr ? host->hostName : "", host->hostVersion != nullptr ? host->hostVersion : "");
		return Result32(FF_SUCCESS);
	}
	case FF_SET_SAMPLERATE:
		instance->SetSampleRate(number);
		return Result32(FF_SUCCESS);
	case FF_GET_PARAMETER_EVENTS:
	{
		auto* request = static_cast<GetParamEventsStructTag*>(record);
		if (request == nullptr)
			return Result32(FF_FAIL);
		unsigned int count = instance->GetNumPendingParamEvents();
		if (request->events != nullptr)
			count = instance->ConsumeParamEvents(request->events, request->numEvents);
		request->numEvents = count;
		return Result32(FF_SUCCESS);
	}
	case FF_ENABLE_PLUGIN_CAP:
		if (number != FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION)
			return Result32(FF_FAIL);
		if (getPluginCaps(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION) != FF_SUPPORTED)
			return Result32(FF_FAIL);
		instance->HostEnabledTopLeftTextures();
		return Result32(FF_SUCCESS);
	case FF_GET_PARAM_DISPLAY_NAME:
		return Result32(getParamDisplayName(instance, static_cast<GetStringStructTag*>(record)));
	default:
		// Codes 1, 3, 11, 12, 14, 24 to 30 and everything above 51.
		return Result32(FF_FAIL);
	}
}
} // namespace

FFMixed plugMain(std::uint32_t functionCode, FFMixed input, void* instance)
{
	// Hosts are built with other compilers and runtimes: nothing may unwind
	// through this frame.
	try
	{
		return Dispatch(functionCode, input, static_cast<CFFGLPlugin*>(instance));
	}
	catch (...)
	{
		return FailureValue(functionCode);
	}
}

void SetLogCallback(FFGLLog::LogCallback callback)
{
	FFGLLog::SetLogCallback(callback);
}

bool InitGLExts()
{
	return true;
}

void ValidateContextState()
{
}
