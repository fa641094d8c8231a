#include "core/FFGLPlugin.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace
{
// The text returned by the default GetParameterDisplay: one 16-byte field
// shared by every instance, valid until the next such call on any instance.
// A text of 16 characters or more fills it with no terminator.
char s_DisplayValue[16];
} // namespace

CFFGLPlugin::CFFGLPlugin(bool supportTopLeftTextureOrientation) : CFFGLPluginManager(supportTopLeftTextureOrientation)
{
}

CFFGLPlugin::~CFFGLPlugin() = default;

unsigned int CFFGLPlugin::InitGL(const FFGLViewportStructTag* viewport)
{
	if (viewport == nullptr)
		return FF_FAIL;
	currentViewport = *viewport;
	return FF_SUCCESS;
}

unsigned int CFFGLPlugin::DeInitGL()
{
	return FF_SUCCESS;
}

char* CFFGLPlugin::GetParameterDisplay(unsigned int index)
{
	// The entry point sets selfPlugin on every instance it makes; an object
	// made any other way answers for itself.
	CFFGLPlugin* self = selfPlugin != nullptr ? selfPlugin : this;

	const unsigned int type = self->GetParamType(index);
	if (type == FF_FAIL)
		return nullptr;
	if (IsTextLikeParamType(type))
		return self->GetTextParameter(index);

	// Fixed-point with six decimals, never an exponent: the largest float needs
	// 39 digits, a sign, the point and six decimals.
	char text[64];
	const int length = std::snprintf(text, sizeof(text), "%f", static_cast<double>(self->GetFloatParameter(index)));
	const std::size_t copied = length > 0 ? std::min(static_cast<std::size_t>(length), sizeof(s_DisplayValue)) : 0;
	std::memset(s_DisplayValue, 0, sizeof(s_DisplayValue));
	std::memcpy(s_DisplayValue, text, copied);
	return s_DisplayValue;
}

unsigned int CFFGLPlugin::SetFloatParameter(unsigned int, float)
{
	return FF_FAIL;
}

unsigned int CFFGLPlugin::SetTextParameter(unsigned int, const char*)
{
	return FF_FAIL;
}

float CFFGLPlugin::GetFloatParameter(unsigned int)
{
	return 0.0f;
}

char* CFFGLPlugin::GetTextParameter(unsigned int)
{
	// Hosts compare the pointer-sized result with FF_FAIL; it is never read.
	return reinterpret_cast<char*>(static_cast<std::uintptr_t>(FF_FAIL));
}

unsigned int CFFGLPlugin::ProcessOpenGL(ProcessOpenGLStructTag*)
{
	return FF_FAIL;
}

unsigned int CFFGLPlugin::SetTime(double time)
{
	hostTime = time;
	return FF_SUCCESS;
}

void CFFGLPlugin::SetBeatInfo(float newBpm, float newBarPhase)
{
	bpm = newBpm;
	barPhase = newBarPhase;
}

void CFFGLPlugin::SetHostInfo(const char* newHostName, const char* newHostVersion)
{
	hostName = newHostName != nullptr ? newHostName : "";
	hostVersion = newHostVersion != nullptr ? newHostVersion : "";
}

void CFFGLPlugin::SetSampleRate(unsigned int newSampleRate)
{
	sampleRate = newSampleRate;
}

unsigned int CFFGLPlugin::GetInputStatus(unsigned int inputIndex)
{
	return inputIndex < GetMaxInputs() ? 1u : FF_FAIL;
}

char* CFFGLPlugin::GetShortName()
{
	return nullptr;
}

unsigned int CFFGLPlugin::Connect()
{
	return FF_SUCCESS;
}

unsigned int CFFGLPlugin::Disconnect()
{
	return FF_SUCCESS;
}

unsigned int CFFGLPlugin::Resize(const FFGLViewportStructTag* viewport)
{
	if (viewport == nullptr)
		return FF_FAIL;
	currentViewport = *viewport;
	return FF_SUCCESS;
}
