#include "host/FFGLDispatch.h"

#include "core/FFGLPlugin.h"
#include "ffglex/FFGLGLLoader.h"
#include "host/FFGLMixed.h"
#include "host/FFGLPluginInfo.h"
#include "host/FFGLThumbnailInfo.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>

namespace
{
CFFGLPlugin* s_pPrototype = nullptr;

using FFGLMixed::FromUInt;

// The lazy prototype: made by the first query that needs it.
CFFGLPlugin* Prototype()
{
	if (s_pPrototype != nullptr)
		return s_pPrototype;
	if (initialise() == FF_FAIL)
		return nullptr;
	return s_pPrototype;
}

CFFGLPlugin* InstanceOrPrototype(CFFGLPlugin* instance)
{
	return instance != nullptr ? instance : Prototype();
}

// Deletes an instance through its virtual destructor when it goes out of scope.
using OwnedInstance = std::unique_ptr<CFFGLPlugin>;
} // namespace

PluginInfoStructTag* getInfo()
{
	CFFGLPluginInfo* registration = CFFGLPluginInfo::GetRegistered();
	return registration != nullptr ? registration->GetPluginInfo() : nullptr;
}

PluginExtendedInfoStructTag* getExtendedInfo()
{
	CFFGLPluginInfo* registration = CFFGLPluginInfo::GetRegistered();
	return registration != nullptr ? registration->GetPluginExtendedInfo() : nullptr;
}

unsigned int initialise()
{
	CFFGLPluginInfo* registration = CFFGLPluginInfo::GetRegistered();
	if (registration == nullptr)
		return FF_FAIL;

	if (FPINITIALISE initialiseMethod = registration->GetInitialiseMethod())
	{
		const unsigned int result = initialiseMethod();
		if (result != FF_SUCCESS)
			return result;
	}

	if (s_pPrototype != nullptr)
		return FF_SUCCESS;

	FPCREATEINSTANCEGL factory = registration->GetFactoryMethod();
	if (factory == nullptr)
		return FF_FAIL;
	CFFGLPlugin* made = nullptr;
	const unsigned int result = factory(&made);
	if (result == FF_FAIL)
	{
		delete made;
		return FF_FAIL;
	}
	if (made == nullptr)
		return FF_FAIL;
	s_pPrototype = made;
	return FF_SUCCESS;
}

unsigned int deInitialise()
{
	CFFGLPluginInfo* registration = CFFGLPluginInfo::GetRegistered();
	if (registration == nullptr)
		return FF_FAIL;

	// Cleared before the destructor runs, so a throwing destructor cannot leave
	// a dangling prototype behind.
	OwnedInstance prototype(s_pPrototype);
	s_pPrototype = nullptr;
	prototype.reset();

	if (FPDEINITIALISE deinitialiseMethod = registration->GetDeinitialiseMethod())
		deinitialiseMethod();
	return FF_SUCCESS;
}

unsigned int getPluginCaps(unsigned int capability)
{
	CFFGLPlugin* prototype = Prototype();
	if (prototype == nullptr)
		return FF_FAIL;

	// A count the host would read as negative is reported as none.
	auto count = [](unsigned int value) { return (value & 0x80000000u) != 0 ? 0u : value; };
	switch (capability)
	{
	case FF_CAP_SET_TIME:
		return prototype->IsTimeSupported() ? FF_SUPPORTED : FF_UNSUPPORTED;
	case FF_CAP_MINIMUM_INPUT_FRAMES:
		return count(prototype->GetMinInputs());
	case FF_CAP_MAXIMUM_INPUT_FRAMES:
		return count(prototype->GetMaxInputs());
	case FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION:
		return prototype->IsTopLeftTextureOrientationSupported() ? FF_SUPPORTED : FF_UNSUPPORTED;
	default:
		return FF_UNSUPPORTED;
	}
}

unsigned int getNumParameters()
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetNumParams() : FF_FAIL;
}

const char* getParameterName(unsigned int number)
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetParamName(number) : nullptr;
}

FFMixed getParameterDefault(unsigned int number)
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetParamDefault(number) : FromUInt(FF_FAIL);
}

unsigned int getParameterType(unsigned int number)
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetParamType(number) : FF_FAIL;
}

unsigned int getParameterUsage(unsigned int number)
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetParamUsage(number) : FF_FAIL;
}

char* getPluginShortName()
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetShortName() : nullptr;
}

unsigned int getParamRange(GetRangeStructTag* range)
{
	if (range == nullptr)
		return FF_FAIL;
	CFFGLPlugin* prototype = Prototype();
	if (prototype == nullptr)
		return FF_FAIL;
	const CFFGLPluginManager::Range answer = prototype->GetParamRange(range->ParameterNumber);
	range->min = answer.min;
	range->max = answer.max;
	return FF_SUCCESS;
}

unsigned int getParamGroup(GetStringStructTag* request)
{
	if (request == nullptr || request->stringBuffer.maxToWrite == 0)
		return FF_FAIL;
	CFFGLPlugin* prototype = Prototype();
	if (prototype == nullptr)
		return FF_FAIL;
	return writeStringToHostBuffer(prototype->GetParamGroup(request->ParameterNumber), &request->stringBuffer);
}

unsigned int getNumFileParameterExtensions(unsigned int number)
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetNumFileParamExtensions(number) : FF_FAIL;
}

const char* getFileParameterExtension(unsigned int number, unsigned int index)
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetFileParamExtension(number, index) : nullptr;
}

unsigned int getDefaultParameterVisibility(unsigned int number)
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetParamVisibility(number) : FF_FAIL;
}

unsigned int GetNumElementSeparators(unsigned int number)
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetNumElementSeparators(number) : 0;
}

unsigned int GetElementSeparatorElementIndex(unsigned int number, unsigned int index)
{
	CFFGLPlugin* prototype = Prototype();
	return prototype != nullptr ? prototype->GetElementSeparatorElementIndex(number, index) : FF_FAIL;
}

unsigned int getNumParameterElements(unsigned int number, CFFGLPlugin* instance)
{
	CFFGLPlugin* answering = InstanceOrPrototype(instance);
	return answering != nullptr ? answering->GetNumParamElements(number) : FF_FAIL;
}

const char* getParameterElementName(unsigned int number, unsigned int element, CFFGLPlugin* instance)
{
	CFFGLPlugin* answering = InstanceOrPrototype(instance);
	return answering != nullptr ? answering->GetParamElementName(number, element) : nullptr;
}

unsigned int getParameterElementValue(unsigned int number, unsigned int element, CFFGLPlugin* instance)
{
	CFFGLPlugin* answering = InstanceOrPrototype(instance);
	return answering != nullptr ? answering->GetParamElementDefault(number, element) : FF_FAIL;
}

FFMixed instantiateGL(const FFGLViewportStructTag* viewport)
{
	CFFGLPluginInfo* registration = CFFGLPluginInfo::GetRegistered();
	if (viewport == nullptr || registration == nullptr)
		return FromUInt(FF_FAIL);
	CFFGLPlugin* prototype = Prototype();
	if (prototype == nullptr)
		return FromUInt(FF_FAIL);

	FPCREATEINSTANCEGL factory = registration->GetFactoryMethod();
	if (factory == nullptr)
		return FromUInt(FF_FAIL);
	CFFGLPlugin* made = nullptr;
	const unsigned int madeResult = factory(&made);
	// Owned from here on: any failure or exception below deletes it.
	OwnedInstance instance(made);
	if (madeResult == FF_FAIL || instance == nullptr)
		return FromUInt(FF_FAIL);

	instance->selfPlugin = instance.get();
	instance->connected = false;

	// The count is read on every pass: the parameter number is the position.
	for (unsigned int i = 0; i < prototype->GetNumParams(); ++i)
	{
		const unsigned int type = prototype->GetParamType(i);
		const FFMixed defaultValue = prototype->GetParamDefault(i);
		unsigned int result;
		if (IsTextLikeParamType(type))
		{
			const char* text = static_cast<const char*>(defaultValue.PointerValue);
			result = instance->SetTextParameter(i, text != nullptr ? text : "");
		}
		else
		{
			result = instance->SetFloatParameter(i, FFGLMixed::ToFloat(defaultValue));
		}
		if (result == FF_FAIL)
			return FromUInt(FF_FAIL);
	}

	// Where the GL functions are only reachable through the current context
	// (Windows), they are resolved before the first instance builds its GL
	// objects; without them InitGL cannot run at all, and DeInitGL must not.
	if (!ffglex::LoadGLFunctions())
		return FromUInt(FF_FAIL);

	unsigned int initResult;
	try
	{
		initResult = instance->InitGL(viewport);
	}
	catch (...)
	{
		// InitGL may have created GL objects before it threw.
		instance->DeInitGL();
		throw;
	}
	if (initResult != FF_SUCCESS)
	{
		instance->DeInitGL();
		return FromUInt(FF_FAIL);
	}

	return FFGLMixed::FromPointer(instance.release());
}

unsigned int processGL(CFFGLPlugin* instance, ProcessOpenGLStructTag* record)
{
	if (instance == nullptr || record == nullptr)
		return FF_FAIL;
	if (!instance->connected)
	{
		instance->Connect();
		instance->connected = true;
	}
	return instance->ProcessOpenGL(record);
}

unsigned int connectInstance(CFFGLPlugin* instance)
{
	if (instance == nullptr)
		return FF_FAIL;
	const unsigned int result = instance->Connect();
	if (result == FF_SUCCESS)
		instance->connected = true;
	return result;
}

unsigned int disconnectInstance(CFFGLPlugin* instance)
{
	if (instance == nullptr)
		return FF_FAIL;
	const unsigned int result = instance->Disconnect();
	if (result == FF_SUCCESS)
		instance->connected = false;
	return result;
}

unsigned int deInstantiateGL(CFFGLPlugin* instance)
{
	if (instance == nullptr)
		return FF_FAIL;
	// The host gives the instance up with this call whatever happens, so when
	// plug-in code throws, the remaining steps still run and the instance is
	// still deleted before the first exception passes on.
	OwnedInstance owned(instance);
	std::exception_ptr failure;
	if (owned->connected)
	{
		owned->connected = false;
		try
		{
			owned->Disconnect();
		}
		catch (...)
		{
			failure = std::current_exception();
		}
	}
	try
	{
		owned->DeInitGL();
	}
	catch (...)
	{
		if (!failure)
			failure = std::current_exception();
	}
	owned.reset();
	if (failure)
		std::rethrow_exception(failure);
	return FF_SUCCESS;
}

unsigned int getParamDisplayName(CFFGLPlugin* instance, GetStringStructTag* request)
{
	if (instance == nullptr || request == nullptr || request->stringBuffer.maxToWrite == 0)
		return FF_FAIL;
	return writeStringToHostBuffer(instance->GetParamDisplayName(request->ParameterNumber), &request->stringBuffer);
}

unsigned int getThumbnail(GetThumbnailStructTag* thumbnail)
{
	if (thumbnail == nullptr)
		return FF_FAIL;
	const CFFGLThumbnailInfo* registered = CFFGLThumbnailInfo::GetInstance();
	if (registered == nullptr)
	{
		thumbnail->width = 0;
		thumbnail->height = 0;
		return FF_FAIL;
	}
	thumbnail->width = registered->GetWidth();
	thumbnail->height = registered->GetHeight();
	if (thumbnail->rgbaPixelBuffer != nullptr)
	{
		const std::size_t bytes =
			static_cast<std::size_t>(registered->GetWidth()) * registered->GetHeight() * sizeof(CFFGLColor);
		if (bytes == 0)
			return FF_SUCCESS;
		if (registered->GetPixels() == nullptr)
			return FF_FAIL;
		std::memcpy(thumbnail->rgbaPixelBuffer, registered->GetPixels(), bytes);
	}
	return FF_SUCCESS;
}

unsigned int writeStringToHostBuffer(const std::string& text, StringBufferStructTag* buffer)
{
	if (buffer == nullptr || buffer->address == nullptr || buffer->maxToWrite == 0)
		return FF_FAIL;
	const std::size_t count = std::min<std::size_t>(text.size(), buffer->maxToWrite);
	std::memcpy(buffer->address, text.data(), count);
	return FF_SUCCESS;
}
