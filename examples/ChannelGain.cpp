#include "examples/ChannelGain.h"

#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamTrigger.h"
#include "host/FFGLPluginInfo.h"

static CFFGLPluginInfo PluginInfo(PluginFactory<ChannelGain>, "QSCG", "QS Channel Gain", 2, 1, // API version
	1, 0,                                                                                      // plug-in version
	FF_EFFECT, "Scales, isolates and inverts colour channels, with a one-frame flash", "Quick-start example effect");

// channel holds the number of the option the host chose (0 All, 1 Red,
// 2 Green, 3 Blue); a value between two numbers selects the lower one, so the
// shader truncates as the option parameter does.
static const char kFragmentShader[] = R"(
void main()
{
	vec4 colour = texture( inputTexture, i_uv );
	vec3 rgb = colour.rgb * gain;
	int selected = int( channel );
	if( selected == 1 )
		rgb = vec3( rgb.r, 0.0, 0.0 );
	else if( selected == 2 )
		rgb = vec3( 0.0, rgb.g, 0.0 );
	else if( selected == 3 )
		rgb = vec3( 0.0, 0.0, rgb.b );
	rgb = clamp( rgb, 0.0, 1.0 );
	if( invert )
		rgb = vec3( 1.0 ) - rgb;
	if( flash )
		rgb = vec3( 1.0 );
	fragColor = vec4( rgb, colour.a );
}
)";

ChannelGain::ChannelGain() : Effect(false)
{
	SetFragmentShader(kFragmentShader);
	AddParam(ffglqs::ParamRange::Create("gain", 1.0f, { 0.0f, 4.0f }));
	AddParam(ffglqs::ParamOption::Create(
		"channel", { { "All", 0.0f }, { "Red", 1.0f }, { "Green", 2.0f }, { "Blue", 3.0f } }));
	AddParam(ffglqs::ParamBool::Create("invert", false));
	AddParam(ffglqs::ParamTrigger::Create("flash"));
}
