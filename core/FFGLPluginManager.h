// CFFGLPluginManager: the parameter registry every plug-in instance carries.
//
// It answers what a host may ask about a plug-in before and after
// instantiation (parameter names, types, usages, defaults, ranges, elements,
// groups, visibility; input counts; time and texture-orientation support) and
// collects parameter events for the host to consume.
//
// Lookups by index walk the records in registration order and take the first
// match; an index with no record gives a fixed per-query answer, never an
// error. Pointers returned into a record stay valid until the next
// registration, a change of that field, or the end of the registry.
#pragma once

#include "host/FFGLRecords.h"

#include <cstdint>
#include <string>
#include <vector>

class CFFGLPluginManager
{
public:
	struct ParamInfo
	{
		struct Element
		{
			std::string name;
			float value = 0.0f;
		};
		struct ElementSeparator
		{
			unsigned int elementIndex = 0;
		};

		unsigned int index = 0;
		std::string name;
		std::string displayName;
		unsigned int type = FF_TYPE_STANDARD;
		std::vector<Element> elements;
		std::vector<ElementSeparator> elementSeparators;
		unsigned int usage = FF_USAGE_STANDARD;
		bool visible = true;
		struct
		{
			float min = 0.0f;
			float max = 1.0f;
		} range;
		float defaultFloatValue = 0.0f;
		std::string defaultStringValue;
		std::vector<std::string> fileExtensions;
		std::uint64_t pendingEventFlags = 0;
		std::string group;
	};

	struct Range
	{
		float min;
		float max;
	};

	explicit CFFGLPluginManager(bool supportTopLeftTextureOrientation);
	virtual ~CFFGLPluginManager();

	// Fixed settings, made from a plug-in's constructor.
	void SetMinInputs(unsigned int count);
	void SetMaxInputs(unsigned int count);
	void SetTimeSupported(bool supported);
	unsigned int GetMinInputs() const;
	unsigned int GetMaxInputs() const;
	bool IsTimeSupported() const;
	bool IsTopLeftTextureOrientationSupported() const;
	// The host enabled top-left textures (code 49): orientation becomes 1.
	void HostEnabledTopLeftTextures();
	unsigned int GetTextureOrientation() const;

	// Registration: each builds a new record and appends a copy. None checks for
	// an existing record with the same index. A null text is taken as empty.
	void SetParamInfo(unsigned int index, const char* name, unsigned int type, float defaultValue);
	void SetParamInfo(unsigned int index, const char* name, unsigned int type, bool defaultValue);
	void SetParamInfo(unsigned int index, const char* name, unsigned int type, const char* defaultValue);
	void SetBufferParamInfo(unsigned int index, const char* name, unsigned int numElements, unsigned int usage);
	void SetOptionParamInfo(unsigned int index, const char* name, unsigned int numElements, float defaultValue);
	void SetFileParamInfo(
		unsigned int index, const char* name, std::vector<std::string> extensions, const char* defaultValue);

	// Changes to an existing record; nothing happens when no record has the index.
	void SetParamElementInfo(unsigned int index, unsigned int elementIndex, const char* name, float value);
	void AddElementSeparator(unsigned int index, unsigned int elementIndex);
	void SetParamElements(
		unsigned int index, std::vector<std::string> names, const std::vector<float>& values, bool raiseEvent);
	void SetParamVisibility(unsigned int index, bool visible, bool raiseEvent);
	void SetParamDisplayName(unsigned int index, std::string displayName, bool raiseEvent);
	// The same, taking a null text as empty.
	void SetParamDisplayName(unsigned int index, const char* displayName, bool raiseEvent);
	void SetParamRange(unsigned int index, float min, float max);
	void SetParamGroup(unsigned int index, std::string group);
	void SetParamGroup(unsigned int index, const char* group);
	// FF_SUCCESS, or FF_FAIL when there is no such record or element.
	unsigned int SetParamElementValue(unsigned int index, unsigned int elementIndex, float value);
	void RaiseParamEvent(unsigned int index, std::uint64_t flags);

	// Queries. See the header comment for the answers to unknown indexes.
	unsigned int GetNumParams() const;
	ParamInfo* FindParamInfo(unsigned int index);
	const ParamInfo* FindParamInfo(unsigned int index) const;
	const char* GetParamName(unsigned int index) const;
	unsigned int GetParamType(unsigned int index) const;
	unsigned int GetParamUsage(unsigned int index) const;
	FFMixed GetParamDefault(unsigned int index) const;
	unsigned int GetParamVisibility(unsigned int index) const;
	unsigned int GetNumParamElements(unsigned int index) const;
	const char* GetParamElementName(unsigned int index, unsigned int elementIndex) const;
	unsigned int GetParamElementDefault(unsigned int index, unsigned int elementIndex) const;
	unsigned int GetNumElementSeparators(unsigned int index) const;
	unsigned int GetElementSeparatorElementIndex(unsigned int index, unsigned int separatorIndex) const;
	unsigned int GetNumFileParamExtensions(unsigned int index) const;
	const char* GetFileParamExtension(unsigned int index, unsigned int extensionIndex) const;
	Range GetParamRange(unsigned int index) const;
	std::string GetParamGroup(unsigned int index) const;
	std::string GetParamDisplayName(unsigned int index) const;

	// Parameter events: the number of records with pending flags, and taking at
	// most maxEvents of them (in registration order) into the host's array.
	unsigned int GetNumPendingParamEvents() const;
	unsigned int ConsumeParamEvents(ParamEventStructTag* events, unsigned int maxEvents);

protected:
	std::vector<ParamInfo> params;
	unsigned int minInputs = 0;
	unsigned int maxInputs = 0;
	bool timeSupported = true;
	bool topLeftTextureOrientationSupported;
	unsigned int textureOrientation = 0;
};
