#include "tools/run/RunPlot.h"

#include "tools/Command.h"
#include "tools/run/RunOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace ffgltool
{

void WriteRunPlot(
	const std::string& path, const std::vector<PlotFrame>& frames, const std::string& measure, float threshold)
{
	constexpr double kWidth = 900.0;
	constexpr double kLeft = 50.0;
	constexpr double kRight = 890.0;
	constexpr double kTop = 24.0;
	constexpr double kBottom = 290.0;
	const double end = frames.empty() ? 1.0 : std::max(frames.back().seconds, 1e-3);
	// The scale shows the threshold in its lower part and stops at full scale.
	float top = threshold * 4.0f;
	for (const PlotFrame& frame : frames)
		top = std::max(top, frame.value);
	top = std::min(std::max(top, 0.01f), 1.0f);
	const auto x = [&](double seconds) { return kLeft + seconds / end * (kRight - kLeft); };
	const auto y = [&](double value)
	{ return kBottom - std::min(value / static_cast<double>(top), 1.0) * (kBottom - kTop); };

	std::ofstream svg(path);
	char text[320];
	std::snprintf(text, sizeof text,
		"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"320\" font-family=\"sans-serif\" "
		"font-size=\"12\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n<text x=\"%.0f\" y=\"16\">%s "
		"per frame (0 to %.1f %%) over %.2f s; shaded: judged; red: OSC messages</text>\n",
		kWidth, kLeft, measure.c_str(), static_cast<double>(top) * 100.0, end);
	svg << text;
	// Shaded runs: one rectangle from a run's first frame to the next frame.
	for (std::size_t i = 0; i < frames.size(); ++i)
	{
		if (!frames[i].judged || (i > 0 && frames[i - 1].judged))
			continue;
		std::size_t j = i;
		while (j < frames.size() && frames[j].judged)
			++j;
		const double to = j < frames.size() ? frames[j].seconds : end;
		std::snprintf(text, sizeof text,
			"<rect class=\"run\" x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"#ccc\"/>\n",
			x(frames[i].seconds), kTop, std::max(x(to) - x(frames[i].seconds), 1.0), kBottom - kTop);
		svg << text;
	}
	svg << "<polyline fill=\"none\" stroke=\"blue\" points=\"";
	for (const PlotFrame& frame : frames)
	{
		std::snprintf(text, sizeof text, "%.1f,%.1f ", x(frame.seconds), y(frame.value));
		svg << text;
	}
	svg << "\"/>\n";
	std::snprintf(text, sizeof text,
		"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"green\" stroke-dasharray=\"6 3\"/>"
		"<text x=\"%.1f\" y=\"%.1f\" fill=\"green\">threshold %.1f %%</text>\n",
		kLeft, y(threshold), kRight, y(threshold), kLeft + 4.0, y(threshold) - 4.0,
		static_cast<double>(threshold) * 100.0);
	svg << text;
	for (const PlotFrame& frame : frames)
		for (unsigned int m = 0; m < frame.messages; ++m)
		{
			std::snprintf(text, sizeof text,
				"<circle class=\"message\" cx=\"%.1f\" cy=\"%.1f\" r=\"5\" fill=\"red\"/>\n", x(frame.seconds),
				kTop + 6.0 + 10.0 * m);
			svg << text;
		}
	std::snprintf(text, sizeof text,
		"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"black\"/><text x=\"%.1f\" y=\"%.1f\">0</text>"
		"<text x=\"%.1f\" y=\"306\">%.2f s</text>\n</svg>\n",
		kLeft, kBottom, kRight, kBottom, kLeft - 14.0, kBottom, kRight - 40.0, end);
	svg << text;
	if (!svg)
		throw RunError(kExitRunError, "cannot write the plot " + path + ": " + std::strerror(errno));
}

} // namespace ffgltool
