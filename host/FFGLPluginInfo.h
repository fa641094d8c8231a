// CFFGLPluginInfo: a plug-in module's registration, its identity records and
// the factory that makes its instances.
//
// Each module registers itself with exactly one static object, constructed
// while the module loads and before the host can call plugMain:
//
//   static CFFGLPluginInfo PluginInfo(PluginFactory<MyEffect>, "MYFX", "My Effect",
//       2, 1, 1, 0, FF_EFFECT, "What it does", "Who made it");
//
// The constructor points the exported g_CurrPluginInfo at the object; the host
// reads the identity records through plugMain codes 0 and 13.
#pragma once

#include "host/FFGLExport.h"
#include "host/FFGLRecords.h"

#include <string>
#include <vector>

class CFFGLPlugin;

// Makes one instance on the heap, stores its address in *instance and returns
// FF_SUCCESS; the caller owns the instance and deletes it through its virtual
// destructor.
using FPCREATEINSTANCEGL = unsigned int (*)(CFFGLPlugin** instance);
// Optional module-wide set-up run by every initialise call; a result other than
// FF_SUCCESS is passed to the host and no prototype is made.
using FPINITIALISE = unsigned int (*)();
// Optional module-wide tear-down run by deInitialise.
using FPDEINITIALISE = void (*)();

// The factory for plug-in class T. Allocation failure passes out as an
// exception, which plugMain turns into the failure value of the host's call.
template <typename T>
unsigned int PluginFactory(CFFGLPlugin** instance)
{
	if (instance == nullptr)
		return FF_FAIL;
	*instance = new T();
	return FF_SUCCESS;
}

class CFFGLPluginInfo
{
public:
	// Texts are copied: ID cut to 4 bytes and name to 16 bytes, with a
	// terminator only when shorter. A null text is taken as empty. Extended data
	// is copied when both its size and pointer are non-zero.
	CFFGLPluginInfo(FPCREATEINSTANCEGL factoryMethod, const char* id, const char* name, unsigned int apiMajorVersion,
		unsigned int apiMinorVersion, unsigned int pluginMajorVersion, unsigned int pluginMinorVersion,
		unsigned int pluginType, const char* description, const char* about, unsigned int extendedDataSize = 0,
		const void* extendedDataBlock = nullptr, FPINITIALISE initialiseMethod = nullptr,
		FPDEINITIALISE deinitialiseMethod = nullptr);
	// Clears g_CurrPluginInfo when it still points here.
	~CFFGLPluginInfo();

	// The records point into the object itself, so it never moves.
	CFFGLPluginInfo(const CFFGLPluginInfo&) = delete;
	CFFGLPluginInfo& operator=(const CFFGLPluginInfo&) = delete;

	// Valid for the object's life; the host reads them through codes 0 and 13.
	PluginInfoStructTag* GetPluginInfo();
	PluginExtendedInfoStructTag* GetPluginExtendedInfo();

	FPCREATEINSTANCEGL GetFactoryMethod() const;
	FPINITIALISE GetInitialiseMethod() const;
	FPDEINITIALISE GetDeinitialiseMethod() const;

	// The registration of this module, or null. Code inside the module reads it
	// here rather than through the exported g_CurrPluginInfo: an exported
	// variable can be bound to another module's copy when a host loads plug-ins
	// into its global symbol scope.
	static CFFGLPluginInfo* GetRegistered();

private:
	// First member: the object's address is the identity record's address.
	PluginInfoStructTag pluginInfo = {};
	PluginExtendedInfoStructTag extendedInfo = {};
	std::string about;
	std::string description;
	FPCREATEINSTANCEGL factoryMethod = nullptr;
	FPINITIALISE initialiseMethod = nullptr;
	FPDEINITIALISE deinitialiseMethod = nullptr;
	std::vector<unsigned char> extendedData;
};

// The module's registration, exported for hosts that read it by name.
FFGL_EXPORT CFFGLPluginInfo* g_CurrPluginInfo;
