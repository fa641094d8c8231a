// RunPlot: the SVG picture of a run that `ffgl-host run --plot` writes, which
// any browser opens: the watching plug-in's measure of each frame against
// time (the brightest luma for the black guard, the largest change for the
// still guard), its threshold as a line, the frames it judged black (or
// still) shaded, and one marker (class "message") per OSC message received.
#pragma once

#include <string>
#include <vector>

namespace ffgltool
{

struct PlotFrame
{
	double seconds = 0.0;
	float value = 0.0f; // 0..1
	bool judged = false;
	unsigned int messages = 0;
};

// Throws RunError when the file cannot be written.
void WriteRunPlot(
	const std::string& path, const std::vector<PlotFrame>& frames, const std::string& measure, float threshold);

} // namespace ffgltool
