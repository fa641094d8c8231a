// A quick-start source with a range and a text parameter, for tests that go
// through plugMain.
#include "ffglqs/Source.h"
#include "host/FFGLPluginInfo.h"

namespace
{
class ParamProbe : public ffglqs::Source
{
public:
	ParamProbe() : Source(false)
	{
		SetFragmentShader("void main() { fragColor = vec4(0.0); }\n");
		AddParam(ffglqs::ParamRange::Create("amount", 50.0f, { 0.0f, 100.0f }));
		AddParam(ffglqs::ParamText::create("label", "hello"));
	}
};
} // namespace

static CFFGLPluginInfo PluginInfo(PluginFactory<ParamProbe>, "QSPP", "QS Param Probe", 2, 1, 1, 0, FF_SOURCE,
	"Test source with quick-start range and text parameters", "Quick-start tests");
