// WatchingPlugin: the base of an effect that passes its one input through
// unchanged and watches the whole picture for drop-outs without making the
// host wait: each frame's cell grid (CellGrid) is computed on the GPU from the
// input and judged frames later, with that frame's own clock reading
// (LateCells over CellReadback).
//
// Sliders is its slider table (a SliderTable, whose "Layer" and "OSC Port"
// choose where the next-clip message goes). Detector turns one frame's cells
// into a verdict: `Detector::Advance(const CellValues&, const Sliders&,
// std::int64_t nowNs)` answers a step whose `send` says the message must go
// now. The host-facing operations keep the contracts every watcher has: a
// failed InitGL leaves no GL object, DeInitGL releases every one and forgets
// the frames in flight; the display text is the instance's own 32 bytes;
// values are clamped, unknown indices refused; a frame without a first input
// fails and is neither drawn nor watched.
#pragma once

#include "core/FFGLPlugin.h"
#include "watching/CellReadback.h"
#include "watching/HostSliders.h"
#include "watching/LateCells.h"
#include "watching/PassThrough.h"
#include "watching/RunClock.h"

template <class Sliders, class Detector>
class WatchingPlugin : public CFFGLPlugin
{
public:
	WatchingPlugin() : CFFGLPlugin(false) { HostSliders<Sliders>::Register(*this); }

	unsigned int InitGL(const FFGLViewportStructTag* vp) override
	{
		if (vp == nullptr)
			return FF_FAIL;
		// A host may initialise again without DeInitGL: building anew drops
		// whatever was in flight, so the ring must forget it too.
		late.Reset();
		if (!passThrough.Build(kPassThroughVertexShader, kPassThroughFragmentShader) || !cells.Build())
		{
			DeInitGL();
			return FF_FAIL;
		}
		currentViewport = *vp;
		return FF_SUCCESS;
	}
	unsigned int DeInitGL() override
	{
		late.Reset();
		cells.Release();
		passThrough.Release();
		return FF_SUCCESS;
	}
	char* GetParameterDisplay(unsigned int index) override { return sliders.Display(index); }
	unsigned int SetFloatParameter(unsigned int index, float value) override { return sliders.Set(index, value); }
	float GetFloatParameter(unsigned int index) override { return sliders.Get(index); }

	// Draws, reads the clock once, judges the results that have come back and
	// queues this frame's cells; sends the next-clip message when a judged
	// frame says so.
	unsigned int ProcessOpenGL(ProcessOpenGLStructTag* record) override
	{
		const FFGLTextureStructTag* input = FirstInput(record);
		if (input == nullptr)
			return FF_FAIL;
		passThrough.Draw(*input);
		bool send = false;
		late.Frame(*input, SteadyClockNs(), [this, &send](const CellValues& values, std::int64_t drawnNs)
			{ send = detector.Advance(values, sliders.Values(), drawnNs).send || send; });
		if (send)
			sliders.Values().Target().Send();
		return FF_SUCCESS;
	}

	const Detector& Detection() const { return detector; }

private:
	PassThrough passThrough;
	CellReadback cells;
	LateCells late{ cells };
	HostSliders<Sliders> sliders;
	Detector detector;
};
