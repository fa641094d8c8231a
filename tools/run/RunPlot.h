// RunPlot: the SVG picture of a run that `ffgl-host run --plot` writes, which
// any browser opens: one panel per rule of the module's watch, its measure of
// each frame against time (the brightest luma for the black rule, the largest
// change for the still rule), its threshold as a line and the frames it
// judged shaded; and one marker (class "message") per OSC message received,
// in the first panel.
#pragma once

#include "tools/run/ModuleWatch.h"

#include <iosfwd>
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

// Starts an SVG picture of the given size on white, in the plots' font; for
// calibrate's plot too.
void StartSvg(std::ostream& svg, double width, double height);

// Throws RunError when the file cannot be written.
void WriteRunPlot(const std::string& path, const std::vector<PlotFrame>& frames, const std::vector<WatchRule>& rules);

} // namespace ffgltool
