// NextClipTarget: the "Layer" and "OSC Port" sliders of a plug-in that moves a
// host layer on, and the message that does it.
//
// Both are kept as the raw 0..1 slider values; the layer number (1..99) and
// the UDP port (6000..9000) are derived from them again whenever they are
// shown or used, rounding halves away from zero.
#pragma once

#include <cstddef>

class NextClipTarget
{
public:
	// The raw slider value that shows port 7000 (single precision).
	static constexpr float kDefaultOscPort = 0.333333f;

	// Values are clamped to 0..1, a NaN taken as 1.
	void SetLayer(float value);
	void SetOscPort(float value);
	float Layer() const { return layer; }
	float OscPort() const { return oscPort; }

	int LayerNumber() const;
	int OscPortNumber() const;

	// "%d" of the layer number or the port, at most size bytes with the NUL.
	void DisplayLayer(char* text, std::size_t size) const;
	void DisplayOscPort(char* text, std::size_t size) const;

	// Sends the next-clip message for the layer to 127.0.0.1 on the port, fire
	// and forget.
	void Send() const;

private:
	float layer = 0.0f;              // raw 0..1 slider value
	float oscPort = kDefaultOscPort; // raw 0..1 slider value
};
