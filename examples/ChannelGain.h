// ChannelGain: an example effect. It scales its input by a gain, keeps all
// colour channels or only one of them, can invert the result, and flashes white
// for one frame whenever the flash trigger fires.
#pragma once

#include "ffglqs/Effect.h"

class ChannelGain : public ffglqs::Effect
{
public:
	ChannelGain();
};
