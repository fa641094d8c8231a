// StillGuard: the still-picture guard effect, the one instance class of the
// Tenebrixor Still module.
//
// It passes its one input through unchanged and watches the drawn picture on
// a 7 x 7 grid; when the picture has not changed by more than the tolerance
// for the hold time (a capture device holding its last frame, a no-signal
// screen), the host is told over OSC to move the layer on to its next clip,
// with the very message the black guard sends. Once per still run: it re-arms
// after the recovery time of moving picture. Black pictures are left to the
// black guard, and a picture that cannot be read is never still.
#pragma once

#include "core/FFGLPlugin.h"
#include "ffglex/FFGLScreenQuad.h"
#include "ffglex/FFGLShader.h"
#include "guard/SampleMeasure.h"
#include "still/StillParameters.h"
#include "still/StillWatch.h"

class StillGuard : public CFFGLPlugin
{
public:
	StillGuard();

	// Keeps the viewport for the sample grid (Resize does not move it), then
	// builds the pass-through program and the quad. FF_FAIL for a null record,
	// or when either cannot be built, with nothing of GL left behind.
	unsigned int InitGL(const FFGLViewportStructTag* vp) override;
	// Releases what InitGL created; harmless without it and when repeated.
	unsigned int DeInitGL() override;
	// The instance's own 32-byte text, valid until the next display call on
	// this instance; empty for an index outside 0..4.
	char* GetParameterDisplay(unsigned int index) override;
	// Clamps to 0..1 (NaN counts as 1) and scales into working units.
	// FF_FAIL for an index outside 0..4, which changes nothing.
	unsigned int SetFloatParameter(unsigned int index, float value) override;
	// The host-side 0..1 value; 0 for an index outside 0..4.
	float GetFloatParameter(unsigned int index) override;
	// Draws the first input unchanged, then judges the drawn picture and
	// advances the hold and recovery timing, which may send the next-clip
	// message. Leaves the GL state as the black guard does. FF_FAIL, with
	// nothing drawn or judged, without a first input.
	unsigned int ProcessOpenGL(ProcessOpenGLStructTag* record) override;

	// The 7 x 7 grid's fractions on both axes.
	static const float kGrid[7];

private:
	ffglex::FFGLShader shader;
	ffglex::FFGLScreenQuad quad;
	SampleMeasure measure;
	StillParameters parameters;
	StillWatch watch;
	char displayText[32] = {};
};
