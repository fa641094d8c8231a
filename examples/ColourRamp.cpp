#include "examples/ColourRamp.h"

#include "host/FFGLPluginInfo.h"

static CFFGLPluginInfo PluginInfo(PluginFactory<ColourRamp>, "QSCR", "QS Colour Ramp", 2, 1, // API version
	1, 0,                                                                                    // plug-in version
	FF_SOURCE, "Fills the output with a colour that ramps down once per cycle", "Quick-start example source");

static const char kFragmentShader[] = R"(
void main()
{
	float ramp = fract( time * rate );
	fragColor = vec4( colour.rgb * ( 1.0 - depth * ramp ), colour.a );
}
)";

ColourRamp::ColourRamp() : Source(false)
{
	SetFragmentShader(kFragmentShader);
	// Uploaded as one vec4 uniform "colour", already converted to RGB.
	AddHueColorParam("colour");
	// Cycles per second.
	AddParam(ffglqs::ParamRange::Create("rate", 1.0f, { 0.0f, 10.0f }));
	AddParam(ffglqs::Param::Create("depth", 0.0f));
}
