// WatchingPlugin: the base of an effect that passes its one input through
// unchanged and watches the drawn picture for drop-outs.
//
// Sliders is its slider table (a SliderTable, whose "Layer" and "OSC Port"
// choose where the next-clip message goes). Detector turns one frame's samples
// into a verdict: `Detector::Advance(const LumaSamples&, const Sliders&,
// std::int64_t nowNs)` answers a step whose `send` says the message must go
// now. The host-facing operations keep the contracts of WatchingGL and
// HostSliders: the viewport given to InitGL holds the grid and a failed InitGL
// leaves no GL object; the display text is the instance's own 32 bytes; values
// are clamped, unknown indices refused; a frame without a first input fails
// and is neither drawn nor watched.
#pragma once

#include "core/FFGLPlugin.h"
#include "watching/HostSliders.h"
#include "watching/RunClock.h"
#include "watching/WatchingGL.h"

template <class Sliders, class Detector>
class WatchingPlugin : public CFFGLPlugin
{
public:
	explicit WatchingPlugin(const SampleMeasure& measure) : CFFGLPlugin(false), gl(measure)
	{
		HostSliders<Sliders>::Register(*this);
	}

	unsigned int InitGL(const FFGLViewportStructTag* vp) override
	{
		return gl.InitGL(*this, vp, kPassThroughVertexShader, kPassThroughFragmentShader);
	}
	unsigned int DeInitGL() override { return gl.DeInitGL(); }
	char* GetParameterDisplay(unsigned int index) override { return sliders.Display(index); }
	unsigned int SetFloatParameter(unsigned int index, float value) override { return sliders.Set(index, value); }
	float GetFloatParameter(unsigned int index) override { return sliders.Get(index); }

	// Draws, then reads the clock once and the drawn picture's samples, and
	// sends the next-clip message when the detector says so.
	unsigned int ProcessOpenGL(ProcessOpenGLStructTag* record) override
	{
		if (!gl.Draw(record))
			return FF_FAIL;
		const std::int64_t now = SteadyClockNs();
		LumaSamples samples;
		gl.Measure(samples);
		if (detector.Advance(samples, sliders.Values(), now).send)
			sliders.Values().Target().Send();
		return FF_SUCCESS;
	}

	const Detector& Detection() const { return detector; }

private:
	WatchingGL gl;
	HostSliders<Sliders> sliders;
	Detector detector;
};
