// ColourRamp: an example source. It fills the output with a colour chosen as
// hue, saturation, brightness and alpha, and dims it along a sawtooth in time:
// at the start of each cycle the colour is at full strength, by its end it is
// down to (1 - depth) of it.
#pragma once

#include "ffglqs/Source.h"

class ColourRamp : public ffglqs::Source
{
public:
	ColourRamp();
};
