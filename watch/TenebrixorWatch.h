// TenebrixorWatch: the drop-out watch, the one instance class of the
// Tenebrixor Watch module.
//
// It passes its one input through unchanged and watches the drawn picture on
// a 7 x 7 grid with two rules: black (the brightest sample at or below the
// threshold for the black hold) and still (no sample changed by more than the
// tolerance for the still hold: a capture device holding its last frame, a
// no-signal screen). Whichever sees a drop-out first tells the host over OSC
// to move the layer on to its next clip, with the black guard's message; one
// message per drop-out (DropOutWatch). A picture that cannot be read is
// neither black nor still.
#pragma once

#include "watch/DropOutWatch.h"
#include "watch/WatchParameters.h"
#include "watching/WatchingPlugin.h"

class TenebrixorWatch : public WatchingPlugin<WatchParameters, DropOutWatch>
{
public:
	TenebrixorWatch();

	// The 7 x 7 grid's fractions on both axes.
	static const float kGrid[7];
};
