#include "core/FFGLPluginManager.h"

#include "host/FFGLMixed.h"

#include <utility>

namespace
{
std::string TextOrEmpty(const char* text)
{
	return text != nullptr ? std::string(text) : std::string();
}

using FFGLMixed::FloatBits;

// A record with the values every registration starts from.
CFFGLPluginManager::ParamInfo NewRecord(
	unsigned int index, const char* name, unsigned int type, std::size_t numElements)
{
	CFFGLPluginManager::ParamInfo info;
	info.index = index;
	info.name = TextOrEmpty(name);
	info.type = type;
	info.elements.resize(numElements);
	return info;
}
} // namespace

CFFGLPluginManager::CFFGLPluginManager(bool supportTopLeftTextureOrientation) :
	topLeftTextureOrientationSupported(supportTopLeftTextureOrientation)
{
}

CFFGLPluginManager::~CFFGLPluginManager() = default;

void CFFGLPluginManager::SetMinInputs(unsigned int count)
{
	minInputs = count;
}

void CFFGLPluginManager::SetMaxInputs(unsigned int count)
{
	maxInputs = count;
}

void CFFGLPluginManager::SetTimeSupported(bool supported)
{
	timeSupported = supported;
}

unsigned int CFFGLPluginManager::GetMinInputs() const
{
	return minInputs;
}

unsigned int CFFGLPluginManager::GetMaxInputs() const
{
	return maxInputs;
}

bool CFFGLPluginManager::IsTimeSupported() const
{
	return timeSupported;
}

bool CFFGLPluginManager::IsTopLeftTextureOrientationSupported() const
{
	return topLeftTextureOrientationSupported;
}

void CFFGLPluginManager::HostEnabledTopLeftTextures()
{
	textureOrientation = 1;
}

unsigned int CFFGLPluginManager::GetTextureOrientation() const
{
	return textureOrientation;
}

void CFFGLPluginManager::SetParamInfo(unsigned int index, const char* name, unsigned int type, float defaultValue)
{
	ParamInfo info = NewRecord(index, name, type, 1);
	// Only the 0..1 slider is clamped. Comparisons keep a NaN as it is.
	if (type == FF_TYPE_STANDARD)
	{
		if (defaultValue > 1.0f)
			defaultValue = 1.0f;
		else if (defaultValue < 0.0f)
			defaultValue = 0.0f;
	}
	info.defaultFloatValue = defaultValue;
	params.push_back(std::move(info));
}

void CFFGLPluginManager::SetParamInfo(unsigned int index, const char* name, unsigned int type, bool defaultValue)
{
	ParamInfo info = NewRecord(index, name, type, 0);
	info.defaultFloatValue = defaultValue ? 1.0f : 0.0f;
	params.push_back(std::move(info));
}

void CFFGLPluginManager::SetParamInfo(unsigned int index, const char* name, unsigned int type, const char* defaultValue)
{
	ParamInfo info = NewRecord(index, name, type, 1);
	info.defaultStringValue = TextOrEmpty(defaultValue);
	params.push_back(std::move(info));
}

void CFFGLPluginManager::SetBufferParamInfo(
	unsigned int index, const char* name, unsigned int numElements, unsigned int usage)
{
	ParamInfo info = NewRecord(index, name, FF_TYPE_BUFFER, numElements);
	info.usage = usage;
	params.push_back(std::move(info));
}

void CFFGLPluginManager::SetOptionParamInfo(
	unsigned int index, const char* name, unsigned int numElements, float defaultValue)
{
	ParamInfo info = NewRecord(index, name, FF_TYPE_OPTION, numElements);
	info.defaultFloatValue = defaultValue;
	params.push_back(std::move(info));
}

void CFFGLPluginManager::SetFileParamInfo(
	unsigned int index, const char* name, std::vector<std::string> extensions, const char* defaultValue)
{
	ParamInfo info = NewRecord(index, name, FF_TYPE_FILE, 0);
	info.defaultStringValue = TextOrEmpty(defaultValue);
	info.fileExtensions = std::move(extensions);
	params.push_back(std::move(info));
}

void CFFGLPluginManager::SetParamElementInfo(
	unsigned int index, unsigned int elementIndex, const char* name, float value)
{
	ParamInfo* info = FindParamInfo(index);
	if (info == nullptr || elementIndex >= info->elements.size())
		return;
	info->elements[elementIndex].name = TextOrEmpty(name);
	info->elements[elementIndex].value = value;
}

void CFFGLPluginManager::AddElementSeparator(unsigned int index, unsigned int elementIndex)
{
	ParamInfo* info = FindParamInfo(index);
	if (info == nullptr)
		return;
	info->elementSeparators.push_back(ParamInfo::ElementSeparator{ elementIndex });
}

void CFFGLPluginManager::SetParamElements(
	unsigned int index, std::vector<std::string> names, const std::vector<float>& values, bool raiseEvent)
{
	ParamInfo* info = FindParamInfo(index);
	if (info == nullptr || info->type != FF_TYPE_OPTION || names.size() != values.size())
		return;
	info->elements.resize(names.size());
	for (std::size_t i = 0; i < names.size(); ++i)
	{
		info->elements[i].name = std::move(names[i]);
		info->elements[i].value = values[i];
	}
	if (raiseEvent)
		info->pendingEventFlags |= FF_EVENT_FLAG_ELEMENTS;
}

void CFFGLPluginManager::SetParamVisibility(unsigned int index, bool visible, bool raiseEvent)
{
	ParamInfo* info = FindParamInfo(index);
	if (info == nullptr)
		return;
	const bool changed = info->visible != visible;
	info->visible = visible;
	if (raiseEvent && changed)
		info->pendingEventFlags |= FF_EVENT_FLAG_VISIBILITY;
}

void CFFGLPluginManager::SetParamDisplayName(unsigned int index, std::string displayName, bool raiseEvent)
{
	ParamInfo* info = FindParamInfo(index);
	if (info == nullptr)
		return;
	const bool changed = info->displayName != displayName;
	info->displayName = std::move(displayName);
	if (raiseEvent && changed)
		info->pendingEventFlags |= FF_EVENT_FLAG_DISPLAY_NAME;
}

void CFFGLPluginManager::SetParamDisplayName(unsigned int index, const char* displayName, bool raiseEvent)
{
	SetParamDisplayName(index, TextOrEmpty(displayName), raiseEvent);
}

void CFFGLPluginManager::SetParamRange(unsigned int index, float min, float max)
{
	ParamInfo* info = FindParamInfo(index);
	if (info == nullptr)
		return;
	info->range.min = min;
	info->range.max = max;
}

void CFFGLPluginManager::SetParamGroup(unsigned int index, std::string group)
{
	ParamInfo* info = FindParamInfo(index);
	if (info == nullptr)
		return;
	info->group = std::move(group);
}

void CFFGLPluginManager::SetParamGroup(unsigned int index, const char* group)
{
	SetParamGroup(index, TextOrEmpty(group));
}

unsigned int CFFGLPluginManager::SetParamElementValue(unsigned int index, unsigned int elementIndex, float value)
{
	ParamInfo* info = FindParamInfo(index);
	if (info == nullptr || elementIndex >= info->elements.size())
		return FF_FAIL;
	info->elements[elementIndex].value = value;
	return FF_SUCCESS;
}

void CFFGLPluginManager::RaiseParamEvent(unsigned int index, std::uint64_t flags)
{
	ParamInfo* info = FindParamInfo(index);
	if (info == nullptr)
		return;
	info->pendingEventFlags |= flags;
}

unsigned int CFFGLPluginManager::GetNumParams() const
{
	return static_cast<unsigned int>(params.size());
}

CFFGLPluginManager::ParamInfo* CFFGLPluginManager::FindParamInfo(unsigned int index)
{
	for (ParamInfo& info : params)
	{
		if (info.index == index)
			return &info;
	}
	return nullptr;
}

const CFFGLPluginManager::ParamInfo* CFFGLPluginManager::FindParamInfo(unsigned int index) const
{
	for (const ParamInfo& info : params)
	{
		if (info.index == index)
			return &info;
	}
	return nullptr;
}

const char* CFFGLPluginManager::GetParamName(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	return info != nullptr ? info->name.c_str() : nullptr;
}

unsigned int CFFGLPluginManager::GetParamType(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	return info != nullptr ? info->type : FF_FAIL;
}

unsigned int CFFGLPluginManager::GetParamUsage(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	return info != nullptr ? info->usage : FF_FAIL;
}

FFMixed CFFGLPluginManager::GetParamDefault(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	if (info == nullptr)
		return FFGLMixed::FromUInt(FF_FAIL);
	if (IsTextLikeParamType(info->type))
	{
		// The host only reads the text; it stays owned by the record.
		return FFGLMixed::FromPointer(info->defaultStringValue.c_str());
	}
	return FFGLMixed::FromFloat(info->defaultFloatValue);
}

unsigned int CFFGLPluginManager::GetParamVisibility(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	if (info == nullptr)
		return FF_FAIL;
	return info->visible ? 1u : 0u;
}

unsigned int CFFGLPluginManager::GetNumParamElements(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	return info != nullptr ? static_cast<unsigned int>(info->elements.size()) : FF_FAIL;
}

const char* CFFGLPluginManager::GetParamElementName(unsigned int index, unsigned int elementIndex) const
{
	const ParamInfo* info = FindParamInfo(index);
	if (info == nullptr || elementIndex >= info->elements.size())
		return nullptr;
	return info->elements[elementIndex].name.c_str();
}

unsigned int CFFGLPluginManager::GetParamElementDefault(unsigned int index, unsigned int elementIndex) const
{
	const ParamInfo* info = FindParamInfo(index);
	if (info == nullptr || elementIndex >= info->elements.size())
		return FF_FAIL;
	return FloatBits(info->elements[elementIndex].value);
}

unsigned int CFFGLPluginManager::GetNumElementSeparators(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	return info != nullptr ? static_cast<unsigned int>(info->elementSeparators.size()) : 0;
}

unsigned int CFFGLPluginManager::GetElementSeparatorElementIndex(unsigned int index, unsigned int separatorIndex) const
{
	const ParamInfo* info = FindParamInfo(index);
	if (info == nullptr || separatorIndex >= info->elementSeparators.size())
		return FF_FAIL;
	return info->elementSeparators[separatorIndex].elementIndex;
}

unsigned int CFFGLPluginManager::GetNumFileParamExtensions(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	return info != nullptr ? static_cast<unsigned int>(info->fileExtensions.size()) : 0;
}

const char* CFFGLPluginManager::GetFileParamExtension(unsigned int index, unsigned int extensionIndex) const
{
	const ParamInfo* info = FindParamInfo(index);
	if (info == nullptr || extensionIndex >= info->fileExtensions.size())
		return nullptr;
	return info->fileExtensions[extensionIndex].c_str();
}

CFFGLPluginManager::Range CFFGLPluginManager::GetParamRange(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	if (info == nullptr)
		return Range{ 0.0f, 1.0f };
	return Range{ info->range.min, info->range.max };
}

std::string CFFGLPluginManager::GetParamGroup(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	return info != nullptr ? info->group : std::string();
}

std::string CFFGLPluginManager::GetParamDisplayName(unsigned int index) const
{
	const ParamInfo* info = FindParamInfo(index);
	return info != nullptr ? info->displayName : std::string();
}

unsigned int CFFGLPluginManager::GetNumPendingParamEvents() const
{
	unsigned int count = 0;
	for (const ParamInfo& info : params)
	{
		if (info.pendingEventFlags != 0)
			++count;
	}
	return count;
}

unsigned int CFFGLPluginManager::ConsumeParamEvents(ParamEventStructTag* events, unsigned int maxEvents)
{
	if (events == nullptr || maxEvents == 0)
		return 0;
	unsigned int written = 0;
	for (ParamInfo& info : params)
	{
		if (written == maxEvents)
			break;
		if (info.pendingEventFlags == 0)
			continue;
		events[written].ParameterNumber = info.index;
		events[written].eventFlags = info.pendingEventFlags;
		info.pendingEventFlags = 0;
		++written;
	}
	return written;
}
