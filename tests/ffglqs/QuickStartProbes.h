// Test subclasses of the three quick-start kinds that expose what the
// framework keeps for itself (sources, timing, the program), so that tests can
// look at it without GL or after a frame.
#pragma once

#include "ffglqs/Effect.h"
#include "ffglqs/Mixer.h"
#include "ffglqs/Source.h"

template <typename Kind>
class Probe : public Kind
{
public:
	Probe() : Kind(false) {}

	using ffglqs::Plugin::deltaTime;
	using ffglqs::Plugin::frame;
	using ffglqs::Plugin::shader;
	using ffglqs::Plugin::start;
	using ffglqs::Plugin::time;
	using ffglqs::Plugin::vertexShaderCode;
};

using EffectProbe = Probe<ffglqs::Effect>;
using SourceProbe = Probe<ffglqs::Source>;
using MixerProbe = Probe<ffglqs::Mixer>;
