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

	// The host-facing operations keep the black guard's contracts
	// (guard/AddSubtract.h): the viewport given to InitGL holds the grid and a
	// failed InitGL leaves no GL object; the display text is the instance's own
	// 32 bytes; values are clamped, unknown indices refused; a frame without a
	// first input is neither drawn nor judged, and after a frame the GL state is
	// as the black guard leaves it.
	unsigned int InitGL(const FFGLViewportStructTag* vp) override;
	unsigned int DeInitGL() override;
	char* GetParameterDisplay(unsigned int index) override;
	unsigned int SetFloatParameter(unsigned int index, float value) override;
	float GetFloatParameter(unsigned int index) override;
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
