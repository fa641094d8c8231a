// The module's registration: the host finds the drop-out watch through this
// object, constructed while the module loads.
#include "host/FFGLPluginInfo.h"
#include "watch/TenebrixorWatch.h"

namespace
{
// An effect for API 2.1, plug-in version 1.0, with no extended data and no
// initialise or deinitialise method.
CFFGLPluginInfo PluginInfo(PluginFactory<TenebrixorWatch>, "TNBW", "Tenebrixor Watch", 2, 1, 1, 0, FF_EFFECT,
	"Switches to the next layer clip when camera video drops out: black, frozen or no signal",
	"Tenebrixor Watch, the drop-out watch of Camera Tenebrixor", 0, nullptr, nullptr, nullptr);
} // namespace
