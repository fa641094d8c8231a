// RunPlot: the picture of a run that `ffgl-host run --plot` writes (an
// SvgChart): one panel per rule of the module's watch, its measure of each
// frame against time (the brightest luma or cell for the black rule, the largest
// change for the still rule), its threshold and the frames it judged shaded;
// and one marker per OSC message received, in the first panel.
#pragma once

#include "tools/run/ModuleWatch.h"

#include <string>
#include <vector>

namespace ffgltool
{

struct PlotFrame
{
	double seconds = 0.0;
	ModuleWatch::Verdicts verdicts; // all false for a refused frame
	unsigned int messages = 0;
};

// Throws RunError when the file cannot be written.
void WriteRunPlot(const std::string& path, const std::vector<PlotFrame>& frames, const std::vector<WatchRule>& rules);

} // namespace ffgltool
