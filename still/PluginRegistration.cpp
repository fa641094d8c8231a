// The module's registration: the host finds the still guard through this
// object, constructed while the module loads.
#include "host/FFGLPluginInfo.h"
#include "still/StillGuard.h"

namespace
{
CFFGLPluginInfo PluginInfo(PluginFactory<StillGuard>, "TNBS", "Tenebrixor Still",
	2, // API major version
	1, // API minor version
	1, // plug-in major version
	0, // plug-in minor version
	FF_EFFECT, "Switches to the next layer clip when camera video freezes or shows a no-signal screen",
	"Tenebrixor Still, the frozen-picture guard of Camera Tenebrixor", 0, nullptr, nullptr, nullptr);
} // namespace
