#include "host/FFGLPluginInfo.h"

extern "C"
{
	CFFGLPluginInfo* g_CurrPluginInfo = nullptr;
}

namespace
{
#if defined(__ELF__)
// The same storage as g_CurrPluginInfo under a hidden name, so every access
// from inside the module is bound to this module's variable at link time. A
// reference through the exported name could be resolved to the first module
// that a host loaded into its global scope.
extern CFFGLPluginInfo* s_registeredPluginInfo __attribute__((alias("g_CurrPluginInfo"), visibility("hidden")));
#else
// Mach-O and PE modules bind their own references to their own definitions.
CFFGLPluginInfo*& s_registeredPluginInfo = g_CurrPluginInfo;
#endif

// Copies byte by byte up to and including the terminator, never more than
// fieldSize bytes: a text of fieldSize or more characters fills the field with
// no terminator. The field is zero beforehand.
void CopyIntoField(char* field, std::size_t fieldSize, const char* text)
{
	if (text == nullptr)
		return;
	for (std::size_t i = 0; i < fieldSize; ++i)
	{
		field[i] = text[i];
		if (text[i] == '\0')
			break;
	}
}
} // namespace

CFFGLPluginInfo::CFFGLPluginInfo(FPCREATEINSTANCEGL factory, const char* id, const char* name,
	unsigned int apiMajorVersion, unsigned int apiMinorVersion, unsigned int pluginMajorVersion,
	unsigned int pluginMinorVersion, unsigned int pluginType, const char* descriptionText, const char* aboutText,
	unsigned int extendedDataSize, const void* extendedDataBlock, FPINITIALISE initialise,
	FPDEINITIALISE deinitialise) :
	about(aboutText != nullptr ? aboutText : ""),
	description(descriptionText != nullptr ? descriptionText : ""),
	factoryMethod(factory),
	initialiseMethod(initialise),
	deinitialiseMethod(deinitialise)
{
	pluginInfo.APIMajorVersion = apiMajorVersion;
	pluginInfo.APIMinorVersion = apiMinorVersion;
	CopyIntoField(pluginInfo.PluginName, sizeof(pluginInfo.PluginName), name);
	CopyIntoField(pluginInfo.PluginUniqueID, sizeof(pluginInfo.PluginUniqueID), id);
	pluginInfo.PluginType = pluginType;

	extendedInfo.About = about.c_str();
	extendedInfo.Description = description.c_str();
	extendedInfo.PluginMajorVersion = pluginMajorVersion;
	extendedInfo.PluginMinorVersion = pluginMinorVersion;

	if (extendedDataSize > 0 && extendedDataBlock != nullptr)
	{
		const auto* bytes = static_cast<const unsigned char*>(extendedDataBlock);
		extendedData.assign(bytes, bytes + extendedDataSize);
		extendedInfo.FreeFrameExtendedDataBlock = extendedData.data();
		extendedInfo.FreeFrameExtendedDataSize = extendedDataSize;
	}
	else
	{
		extendedInfo.FreeFrameExtendedDataBlock = nullptr;
		extendedInfo.FreeFrameExtendedDataSize = 0;
	}

	s_registeredPluginInfo = this;
}

CFFGLPluginInfo::~CFFGLPluginInfo()
{
	if (s_registeredPluginInfo == this)
		s_registeredPluginInfo = nullptr;
}

PluginInfoStructTag* CFFGLPluginInfo::GetPluginInfo()
{
	return &pluginInfo;
}

PluginExtendedInfoStructTag* CFFGLPluginInfo::GetPluginExtendedInfo()
{
	return &extendedInfo;
}

FPCREATEINSTANCEGL CFFGLPluginInfo::GetFactoryMethod() const
{
	return factoryMethod;
}

FPINITIALISE CFFGLPluginInfo::GetInitialiseMethod() const
{
	return initialiseMethod;
}

FPDEINITIALISE CFFGLPluginInfo::GetDeinitialiseMethod() const
{
	return deinitialiseMethod;
}

CFFGLPluginInfo* CFFGLPluginInfo::GetRegistered()
{
	return s_registeredPluginInfo;
}
