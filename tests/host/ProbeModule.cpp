// A second plug-in module beside the guard, with an identity of its own: two
// modules loaded into one process must each answer with their own records.
#include "core/FFGLPlugin.h"
#include "host/FFGLPluginInfo.h"

namespace
{
class Probe : public CFFGLPlugin
{
public:
	Probe() : CFFGLPlugin(false) { SetParamInfo(0, "Level", FF_TYPE_STANDARD, 0.25f); }
};

CFFGLPluginInfo PluginInfo(PluginFactory<Probe>, "PRBE", "Probe", 2, 1, 1, 0, FF_EFFECT, "probe", "test plug-in");
} // namespace
