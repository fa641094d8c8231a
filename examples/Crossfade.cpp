#include "examples/Crossfade.h"

#include "host/FFGLPluginInfo.h"

static CFFGLPluginInfo PluginInfo(PluginFactory<Crossfade>, "QSXF", "QS Crossfade", 2, 1, // API version
	1, 0,                                                                                 // plug-in version
	FF_MIXER, "Blends its two inputs by mixVal", "Quick-start example mixer");

// mixVal is the mixer's own parameter, declared by the framework.
static const char kFragmentShader[] = R"(
void main()
{
	vec4 destination = texture( textureDest, i_uv_dest );
	vec4 source = texture( textureSrc, i_uv_src );
	fragColor = mix( destination, source, mixVal );
}
)";

Crossfade::Crossfade() : Mixer(false)
{
	SetFragmentShader(kFragmentShader);
}
