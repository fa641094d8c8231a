#include "host/FFGLEntryPoint.h"

#include "core/FFGLPlugin.h"
#include "host/FFGLDispatch.h"
#include "host/FFGLMixed.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{
using FFGLMixed::FromPointer;
using FFGLMixed::FromUInt;

// What the argument of a function code is. A record row whose record pointer
// is null answers its failure value without reaching the handler.
enum class Input : std::uint8_t
{
	None,
	Number, // UIntValue, the low 32 bits
	Record, // PointerValue, the host record named by the handler
};

// Required: a null handle answers the 32-bit FF_FAIL (also in rows whose result
// is otherwise a pointer). Optional: the handler answers from the prototype
// when the handle is null. Ignored: the handle plays no part.
enum class Instance : std::uint8_t
{
	Ignored,
	Optional,
	Required,
};

// What the host gets when the request cannot be carried out (a null record,
// no prototype, an exception): null for text and record pointer results, the
// 32-bit FF_FAIL for all others, code 18 included.
enum class Failure : std::uint8_t
{
	Fail,
	Null,
};

using Handler = FFMixed (*)(FFMixed input, CFFGLPlugin* instance);

struct Row
{
	std::uint32_t code;
	Input input;
	Instance instance;
	Failure failure;
	Handler handler; // null: the code is refused with FF_FAIL
};

template <class Tag>
Tag* RecordOf(FFMixed input)
{
	return static_cast<Tag*>(input.PointerValue);
}

// Handlers of the instance requests that do more than one call. Each gets a
// non-null instance and, for a record, a non-null record.

FFMixed SetParameter(FFMixed input, CFFGLPlugin* instance)
{
	const auto* set = RecordOf<const SetParameterStructTag>(input);
	// The type always comes from the prototype's registry.
	if (IsTextLikeParamType(getParameterType(set->ParameterNumber)))
	{
		const char* text = static_cast<const char*>(set->NewParameterValue.PointerValue);
		return FromUInt(instance->SetTextParameter(set->ParameterNumber, text != nullptr ? text : ""));
	}
	return FromUInt(instance->SetFloatParameter(set->ParameterNumber, FFGLMixed::ToFloat(set->NewParameterValue)));
}

FFMixed GetParameter(FFMixed input, CFFGLPlugin* instance)
{
	if (IsTextLikeParamType(getParameterType(input.UIntValue)))
		return FromPointer(instance->GetTextParameter(input.UIntValue));
	return FFGLMixed::FromFloat(instance->GetFloatParameter(input.UIntValue));
}

FFMixed SetTime(FFMixed input, CFFGLPlugin* instance)
{
	// The host passes a bare double, with no alignment promised.
	double time;
	std::memcpy(&time, input.PointerValue, sizeof(time));
	return FromUInt(instance->SetTime(time));
}

FFMixed SetBeatInfo(FFMixed input, CFFGLPlugin* instance)
{
	const auto* beat = RecordOf<const SetBeatInfoStructTag>(input);
	instance->SetBeatInfo(beat->bpm, beat->barPhase);
	return FromUInt(FF_SUCCESS);
}

FFMixed SetHostInfo(FFMixed input, CFFGLPlugin* instance)
{
	const auto* host = RecordOf<const SetHostInfoStructTag>(input);
	// Overrides get texts they can copy without a check.
	instance->SetHostInfo(
		host->hostName != nullptr ? host->hostName : "", host->hostVersion != nullptr ? host->hostVersion : "");
	return FromUInt(FF_SUCCESS);
}

// A null events array only counts; an array takes at most numEvents of them.
FFMixed GetParameterEvents(FFMixed input, CFFGLPlugin* instance)
{
	auto* request = RecordOf<GetParamEventsStructTag>(input);
	unsigned int count = instance->GetNumPendingParamEvents();
	if (request->events != nullptr)
		count = instance->ConsumeParamEvents(request->events, request->numEvents);
	request->numEvents = count;
	return FromUInt(FF_SUCCESS);
}

// Only top-left texture orientation can be enabled, and only where supported.
FFMixed EnablePluginCap(FFMixed input, CFFGLPlugin* instance)
{
	if (input.UIntValue != FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ||
		getPluginCaps(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION) != FF_SUPPORTED)
		return FromUInt(FF_FAIL);
	instance->HostEnabledTopLeftTextures();
	return FromUInt(FF_SUCCESS);
}

constexpr Row Refused(std::uint32_t code)
{
	return { code, Input::None, Instance::Ignored, Failure::Fail, nullptr };
}

// One row per function code, in code order. Prototype queries make the
// prototype on demand and answer the row's failure value without one; an
// unregistered parameter gets the registry's fixed answer for the query.
// Results of 32 bits go out with the upper half zero, floats as their bit
// pattern.
constexpr Row kRows[] = {
	{ FF_GET_INFO, Input::None, Instance::Ignored, Failure::Null,
		[](FFMixed, CFFGLPlugin*) { return FromPointer(getInfo()); } },
	Refused(FF_INITIALISE), // code 34 initialises
	{ FF_DEINITIALISE, Input::None, Instance::Ignored, Failure::Fail,
		[](FFMixed, CFFGLPlugin*) { return FromUInt(deInitialise()); } },
	Refused(FF_PROCESSFRAME),
	{ FF_GET_NUM_PARAMETERS, Input::None, Instance::Ignored, Failure::Fail,
		[](FFMixed, CFFGLPlugin*) { return FromUInt(getNumParameters()); } },
	{ FF_GET_PARAMETER_NAME, Input::Number, Instance::Ignored, Failure::Null,
		[](FFMixed in, CFFGLPlugin*) { return FromPointer(getParameterName(in.UIntValue)); } },
	// Text-like: a pointer to the default text; others: the float.
	{ FF_GET_PARAMETER_DEFAULT, Input::Number, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*) { return getParameterDefault(in.UIntValue); } },
	{ FF_GET_PARAMETER_DISPLAY, Input::Number, Instance::Required, Failure::Null,
		[](FFMixed in, CFFGLPlugin* self) { return FromPointer(self->GetParameterDisplay(in.UIntValue)); } },
	{ FF_SET_PARAMETER, Input::Record, Instance::Required, Failure::Fail, SetParameter },
	// Text-like: the text pointer; others: the float.
	{ FF_GET_PARAMETER, Input::Number, Instance::Required, Failure::Fail, GetParameter },
	{ FF_GET_PLUGIN_CAPS, Input::Number, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*) { return FromUInt(getPluginCaps(in.UIntValue)); } },
	Refused(FF_INSTANTIATE),
	Refused(FF_DEINSTANTIATE),
	{ FF_GET_EXTENDED_INFO, Input::None, Instance::Ignored, Failure::Null,
		[](FFMixed, CFFGLPlugin*) { return FromPointer(getExtendedInfo()); } },
	Refused(FF_PROCESSFRAMECOPY),
	{ FF_GET_PARAMETER_TYPE, Input::Number, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*) { return FromUInt(getParameterType(in.UIntValue)); } },
	{ FF_GET_INPUT_STATUS, Input::Number, Instance::Required, Failure::Fail,
		[](FFMixed in, CFFGLPlugin* self) { return FromUInt(self->GetInputStatus(in.UIntValue)); } },
	{ FF_PROCESS_OPENGL, Input::Record, Instance::Required, Failure::Fail,
		[](FFMixed in, CFFGLPlugin* self) { return FromUInt(processGL(self, RecordOf<ProcessOpenGLStructTag>(in))); } },
	// The instance pointer, which the host owns until code 19.
	{ FF_INSTANTIATE_GL, Input::Record, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*) { return instantiateGL(RecordOf<const FFGLViewportStructTag>(in)); } },
	{ FF_DEINSTANTIATE_GL, Input::None, Instance::Required, Failure::Fail,
		[](FFMixed, CFFGLPlugin* self) { return FromUInt(deInstantiateGL(self)); } },
	{ FF_SET_TIME, Input::Record, Instance::Required, Failure::Fail, SetTime },
	{ FF_CONNECT, Input::None, Instance::Required, Failure::Fail,
		[](FFMixed, CFFGLPlugin* self) { return FromUInt(connectInstance(self)); } },
	{ FF_DISCONNECT, Input::None, Instance::Required, Failure::Fail,
		[](FFMixed, CFFGLPlugin* self) { return FromUInt(disconnectInstance(self)); } },
	{ FF_RESIZE, Input::Record, Instance::Required, Failure::Fail,
		[](FFMixed in, CFFGLPlugin* self)
		{ return FromUInt(self->Resize(RecordOf<const FFGLViewportStructTag>(in))); } },
	Refused(24),
	Refused(25),
	Refused(26),
	Refused(27),
	Refused(28),
	Refused(29),
	Refused(30),
	{ FF_GET_NUM_PARAMETER_ELEMENTS, Input::Number, Instance::Optional, Failure::Fail,
		[](FFMixed in, CFFGLPlugin* self) { return FromUInt(getNumParameterElements(in.UIntValue, self)); } },
	{ FF_GET_PARAMETER_USAGE, Input::Number, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*) { return FromUInt(getParameterUsage(in.UIntValue)); } },
	{ FF_GET_PLUGIN_SHORT_NAME, Input::None, Instance::Ignored, Failure::Null,
		[](FFMixed, CFFGLPlugin*) { return FromPointer(getPluginShortName()); } },
	{ FF_INITIALISE_V2, Input::None, Instance::Ignored, Failure::Fail,
		[](FFMixed, CFFGLPlugin*) { return FromUInt(initialise()); } },
	{ FF_GET_PARAMETER_ELEMENT_NAME, Input::Record, Instance::Optional, Failure::Null,
		[](FFMixed in, CFFGLPlugin* self)
		{
			const auto* element = RecordOf<const ParamElementStructTag>(in);
			return FromPointer(getParameterElementName(element->ParameterNumber, element->ElementNumber, self));
		} },
	// The element's current value as a float.
	{ FF_GET_PARAMETER_ELEMENT_VALUE, Input::Record, Instance::Optional, Failure::Fail,
		[](FFMixed in, CFFGLPlugin* self)
		{
			const auto* element = RecordOf<const ParamElementStructTag>(in);
			return FromUInt(getParameterElementValue(element->ParameterNumber, element->ElementNumber, self));
		} },
	{ FF_SET_PARAMETER_ELEMENT_VALUE, Input::Record, Instance::Required, Failure::Fail,
		[](FFMixed in, CFFGLPlugin* self)
		{
			const auto* set = RecordOf<const SetParameterElementValueStructTag>(in);
			return FromUInt(self->SetParamElementValue(
				set->ParameterNumber, set->ElementNumber, FFGLMixed::ToFloat(set->NewParameterValue)));
		} },
	{ FF_SET_BEATINFO, Input::Record, Instance::Required, Failure::Fail, SetBeatInfo },
	{ FF_SET_HOSTINFO, Input::Record, Instance::Required, Failure::Fail, SetHostInfo },
	{ FF_SET_SAMPLERATE, Input::Number, Instance::Required, Failure::Fail,
		[](FFMixed in, CFFGLPlugin* self)
		{
			self->SetSampleRate(in.UIntValue);
			return FromUInt(FF_SUCCESS);
		} },
	{ FF_GET_RANGE, Input::Record, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*) { return FromUInt(getParamRange(RecordOf<GetRangeStructTag>(in))); } },
	{ FF_GET_THUMBNAIL, Input::Record, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*) { return FromUInt(getThumbnail(RecordOf<GetThumbnailStructTag>(in))); } },
	{ FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, Input::Number, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*) { return FromUInt(getNumFileParameterExtensions(in.UIntValue)); } },
	{ FF_GET_FILE_PARAMETER_EXTENSION, Input::Record, Instance::Ignored, Failure::Null,
		[](FFMixed in, CFFGLPlugin*)
		{
			const auto* element = RecordOf<const ParamElementStructTag>(in);
			return FromPointer(getFileParameterExtension(element->ParameterNumber, element->ElementNumber));
		} },
	// With a handle, that instance's visibility; without, the prototype's.
	{ FF_GET_PARAMETER_VISIBILITY, Input::Number, Instance::Optional, Failure::Fail,
		[](FFMixed in, CFFGLPlugin* self)
		{
			if (self == nullptr)
				return FromUInt(getDefaultParameterVisibility(in.UIntValue));
			return FromUInt(self->GetParamVisibility(in.UIntValue));
		} },
	{ FF_GET_PARAMETER_EVENTS, Input::Record, Instance::Required, Failure::Fail, GetParameterEvents },
	{ FF_GET_NUM_ELEMENT_SEPARATORS, Input::Number, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*) { return FromUInt(GetNumElementSeparators(in.UIntValue)); } },
	{ FF_GET_SEPARATOR_ELEMENT_INDEX, Input::Record, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*)
		{
			const auto* element = RecordOf<const ParamElementStructTag>(in);
			return FromUInt(GetElementSeparatorElementIndex(element->ParameterNumber, element->ElementNumber));
		} },
	{ FF_ENABLE_PLUGIN_CAP, Input::Number, Instance::Required, Failure::Fail, EnablePluginCap },
	{ FF_GET_PARAM_GROUP, Input::Record, Instance::Ignored, Failure::Fail,
		[](FFMixed in, CFFGLPlugin*) { return FromUInt(getParamGroup(RecordOf<GetStringStructTag>(in))); } },
	{ FF_GET_PARAM_DISPLAY_NAME, Input::Record, Instance::Required, Failure::Fail,
		[](FFMixed in, CFFGLPlugin* self)
		{ return FromUInt(getParamDisplayName(self, RecordOf<GetStringStructTag>(in))); } },
};

constexpr bool RowsAreInCodeOrder()
{
	for (std::size_t i = 0; i < std::size(kRows); ++i)
		if (kRows[i].code != i)
			return false;
	return true;
}
static_assert(RowsAreInCodeOrder(), "row i of the table must hold function code i");
static_assert(std::size(kRows) == FF_GET_PARAM_DISPLAY_NAME + 1, "codes above 51 are refused");

FFMixed FailureValue(std::uint32_t functionCode)
{
	if (functionCode < std::size(kRows) && kRows[functionCode].failure == Failure::Null)
		return FromPointer(nullptr);
	return FromUInt(FF_FAIL);
}

FFMixed Dispatch(std::uint32_t functionCode, FFMixed input, CFFGLPlugin* instance)
{
	if (functionCode >= std::size(kRows) || kRows[functionCode].handler == nullptr)
		return FromUInt(FF_FAIL);
	const Row& row = kRows[functionCode];
	if (row.instance == Instance::Required && instance == nullptr)
		return FromUInt(FF_FAIL);
	if (row.input == Input::Record && input.PointerValue == nullptr)
		return FailureValue(functionCode);
	return row.handler(input, row.instance == Instance::Ignored ? nullptr : instance);
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
