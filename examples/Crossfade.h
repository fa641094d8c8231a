// Crossfade: an example mixer. It blends from its first input (mixVal 0) to its
// second (mixVal 1).
#pragma once

#include "ffglqs/Mixer.h"

class Crossfade : public ffglqs::Mixer
{
public:
	Crossfade();
};
