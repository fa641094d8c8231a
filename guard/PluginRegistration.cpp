// The module's registration: the host finds the guard effect through this
// object, constructed while the module loads.
#include "guard/AddSubtract.h"
#include "host/FFGLPluginInfo.h"

namespace
{
CFFGLPluginInfo PluginInfo(PluginFactory<AddSubtract>, "TNBX", "Camera Tenebrixor",
	2, // API major version
	1, // API minor version
	1, // plug-in major version
	0, // plug-in minor version
	FF_EFFECT, "Switches to the next layer clip when camera video stays black",
	"Camera Tenebrixor for Vidmora Aulora 7", 0, nullptr, nullptr, nullptr);
} // namespace
