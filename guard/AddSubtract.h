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
#include "host/FFGLRecords.h"

#include <cstdint>

class AddSubtract : public CFFGLPlugin
{
public:
	AddSubtract();
	~AddSubtract() override;

	// Keeps the host's viewport: detection samples over this copy, which Resize
	// does not change. FF_FAIL for a null record.
	unsigned int InitGL(const FFGLViewportStructTag* vp) override;
	// Releases what InitGL created; always FF_SUCCESS, also without InitGL.
	unsigned int DeInitGL() override;
	// The instance's own 32-byte text, valid until the next display call on
	// this instance; empty for an index outside 0..4.
	char* GetParameterDisplay(unsigned int index) override;
	// Clamps to 0..1 (NaN counts as 1) and scales into working units.
	// FF_FAIL for an index outside 0..4, which changes nothing.
	unsigned int SetFloatParameter(unsigned int index, float value) override;
	// The host-side 0..1 value; 0 for an index outside 0..4.
	float GetFloatParameter(unsigned int index) override;
	unsigned int ProcessOpenGL(ProcessOpenGLStructTag* record) override;

private:
	// The layer number 1..99 and the UDP port 6000..9000, derived from the raw
	// slider values every time they are needed.
	int LayerNumber() const;
	int OscPortNumber() const;

	FFGLViewportStructTag viewport = {};
	float blackThreshold; // luma, fraction of full white, 0..0.25
	float blackHold;      // seconds black before the switch, 0..10
	float recovery;       // seconds non-black before re-arming, 0..5
	float layer;          // raw 0..1 slider value
	float oscPort;        // raw 0..1 slider value
	bool blackTimingStarted = false;
	bool clearTimingStarted = false;
	bool armed = true;
	std::int64_t blackStart = 0; // steady-clock nanoseconds
	std::int64_t clearStart = 0; // steady-clock nanoseconds
	char displayText[32] = {};
};
