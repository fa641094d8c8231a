// AddSubtract: the black-frame guard effect, the one instance class of the
// Camera Tenebrixor module.
//
// It passes its one input through unchanged and watches the drawn picture;
// when it stays black for the hold time, the host is told over OSC to move the
// layer on to its next clip. The host sees five plain 0..1 sliders; the units
// (luma fraction, seconds, layer number, UDP port) exist only inside the
// instance and in its display texts.
#pragma once

#include "core/FFGLPlugin.h"
#include "guard/GuardParameters.h"
#include "host/FFGLRecords.h"
#include "watching/Arming.h"
#include "watching/HostSliders.h"
#include "watching/RunClock.h"
#include "watching/WatchingGL.h"

#include <cstdint>

class AddSubtract : public CFFGLPlugin
{
public:
	AddSubtract();
	~AddSubtract() override;

	// Keeps the host's viewport: detection samples over this copy, which Resize
	// does not change; it is kept even when the rest fails. Then builds the
	// pass-through program and the quad. FF_FAIL for a null record, or when
	// either cannot be built, in which case nothing of GL is left behind.
	unsigned int InitGL(const FFGLViewportStructTag* vp) override;
	// Releases what InitGL created; always FF_SUCCESS, harmless without InitGL
	// and when called twice.
	unsigned int DeInitGL() override;
	// The instance's own 32-byte text, valid until the next display call on
	// this instance; empty for an index outside 0..4.
	char* GetParameterDisplay(unsigned int index) override;
	// Clamps to 0..1 (NaN counts as 1) and scales into working units.
	// FF_FAIL for an index outside 0..4, which changes nothing.
	unsigned int SetFloatParameter(unsigned int index, float value) override;
	// The host-side 0..1 value; 0 for an index outside 0..4.
	float GetFloatParameter(unsigned int index) override;
	// Draws the first input unchanged into the framebuffer the host has bound,
	// over the host's GL viewport, then judges the drawn picture and advances
	// the hold and recovery timing, which may send the next-clip message.
	// Afterwards no program is in use, texture unit 0 is active and no 2D
	// texture is bound there. FF_FAIL, with nothing drawn and the timing
	// untouched, for a null record or a missing first input.
	unsigned int ProcessOpenGL(ProcessOpenGLStructTag* record) override;

	// True when the brightest of 25 pixels, a 5x5 grid over the viewport given
	// to InitGL, read from the framebuffer bound for reading, has a luma at or
	// below the threshold (the black rule, BlackWatch::Judge). A pixel the GL
	// refuses to read (a multisampled framebuffer, for one) counts as white: a
	// picture that cannot be seen is never taken for black. Leaves the GL
	// bindings as it found them.
	bool FrameIsBlack() const;
	// Sends the next-clip message for the chosen layer to 127.0.0.1 on the
	// chosen port, fire and forget.
	void SendNextClip() const;

	// The detection state: a black run is being timed since BlackStart, a
	// non-black run since ClearStart (steady-clock nanoseconds), and the next
	// black run may send. A new instance is armed with nothing timed; only
	// drawn frames change it.
	bool BlackTimingStarted() const { return blackRun.Started(); }
	bool ClearTimingStarted() const { return arming.Recovery().Started(); }
	bool Armed() const { return arming.Armed(); }
	std::int64_t BlackStart() const { return blackRun.Start(); }
	std::int64_t ClearStart() const { return arming.Recovery().Start(); }

private:
	// The pass-through GLSL sources, kept in a translation unit of their own.
	static const char* const vertexShader;
	static const char* const fragmentShader;

	WatchingGL gl;                           // pass-through, and the 5 x 5 grid over the viewport given to InitGL
	HostSliders<GuardParameters> parameters; // the five sliders in working units
	RunClock blackRun;
	Arming arming; // one message per black run, then the recovery
};
