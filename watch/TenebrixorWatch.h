// TenebrixorWatch: the drop-out watch, the one instance class of the
// Tenebrixor Watch module.
//
// It passes its one input through unchanged and watches the whole picture as
// a grid of cells (CellGrid), computed on the GPU and judged frames later
// without making the host wait (WatchingPlugin), with two rules: black (the
// brightest cell's mean at or below the threshold for the black hold) and
// still (no cell's centre pixel changed by more than the tolerance for the
// still hold: a capture device holding its last frame, a no-signal screen).
// Whichever sees a drop-out first tells the host over OSC to move the layer on
// to its next clip, with the black guard's message; one message per drop-out
// (DropOutWatch).
#pragma once

#include "watch/DropOutWatch.h"
#include "watch/WatchParameters.h"
#include "watching/WatchingPlugin.h"

class TenebrixorWatch : public WatchingPlugin<WatchParameters, DropOutWatch>
{
};
