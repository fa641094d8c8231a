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
namespace
{

constexpr double kWidth = 900.0;
constexpr double kLeft = 50.0;
constexpr double kRight = 890.0;
constexpr double kPanel = 300.0; // each panel's height
constexpr double kTop = 24.0;    // within a panel
constexpr double kBottom = 290.0;

// One rule's panel at offset from the top of the picture.
void Panel(std::ofstream& svg, const std::vector<PlotFrame>& frames, const WatchRule& rule, std::size_t r,
	double offset, double end)
{
	// The scale shows the threshold in its lower part and stops at full scale.
	float top = rule.threshold * 4.0f;
	for (const PlotFrame& frame : frames)
		top = std::max(top, frame.verdicts.rules[r].measure);
	top = std::min(std::max(top, 0.01f), 1.0f);
	const auto x = [&](double seconds) { return kLeft + seconds / end * (kRight - kLeft); };
	const auto y = [&](double value)
	{ return offset + kBottom - std::min(value / static_cast<double>(top), 1.0) * (kBottom - kTop); };
	const auto judged = [&](std::size_t i) { return frames[i].verdicts.rules[r].judged; };

	std::string measure = rule.measure;
	std::replace(measure.begin(), measure.end(), '_', ' ');
	char text[320];
	std::snprintf(text, sizeof text,
		"<text x=\"%.0f\" y=\"%.0f\">%s per frame (0 to %.1f %%) over %.2f s; shaded: judged %s; red: OSC "
		"messages</text>\n",
		kLeft, offset + 16.0, measure.c_str(), static_cast<double>(top) * 100.0, end, rule.name.c_str());
	svg << text;
	// Shaded runs: one rectangle from a run's first frame to the next frame.
	for (std::size_t i = 0; i < frames.size(); ++i)
	{
		if (!judged(i) || (i > 0 && judged(i - 1)))
			continue;
		std::size_t j = i;
		while (j < frames.size() && judged(j))
			++j;
		const double to = j < frames.size() ? frames[j].seconds : end;
		std::snprintf(text, sizeof text,
			"<rect class=\"run\" x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"#ccc\"/>\n",
			x(frames[i].seconds), offset + kTop, std::max(x(to) - x(frames[i].seconds), 1.0), kBottom - kTop);
		svg << text;
	}
	svg << "<polyline fill=\"none\" stroke=\"blue\" points=\"";
	for (const PlotFrame& frame : frames)
	{
		std::snprintf(text, sizeof text, "%.1f,%.1f ", x(frame.seconds), y(frame.verdicts.rules[r].measure));
		svg << text;
	}
	svg << "\"/>\n";
	std::snprintf(text, sizeof text,
		"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"green\" stroke-dasharray=\"6 3\"/>"
		"<text x=\"%.1f\" y=\"%.1f\" fill=\"green\">threshold %.2f %%</text>\n",
		kLeft, y(rule.threshold), kRight, y(rule.threshold), kLeft + 4.0, y(rule.threshold) - 4.0,
		static_cast<double>(rule.threshold) * 100.0);
	svg << text;
	std::snprintf(text, sizeof text,
		"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"black\"/><text x=\"%.1f\" y=\"%.1f\">0</text>\n",
		kLeft, offset + kBottom, kRight, offset + kBottom, kLeft - 14.0, offset + kBottom);
	svg << text;
}

} // namespace

void StartSvg(std::ostream& svg, double width, double height)
{
	char text[256];
	std::snprintf(text, sizeof text,
		"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" font-family=\"sans-serif\" "
		"font-size=\"12\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
		width, height);
	svg << text;
}

void WriteRunPlot(const std::string& path, const std::vector<PlotFrame>& frames, const std::vector<WatchRule>& rules)
{
	const double end = frames.empty() ? 1.0 : std::max(frames.back().seconds, 1e-3);
	const double height = kPanel * static_cast<double>(std::max<std::size_t>(rules.size(), 1)) + 20.0;
	std::ofstream svg(path);
	StartSvg(svg, kWidth, height);
	char text[320];
	if (rules.empty())
		svg << "<text x=\"" << kLeft << "\" y=\"16\">no rule followed; red: OSC messages</text>\n";
	for (std::size_t r = 0; r < rules.size(); ++r)
		Panel(svg, frames, rules[r], r, kPanel * static_cast<double>(r), end);
	for (const PlotFrame& frame : frames)
		for (unsigned int m = 0; m < frame.messages; ++m)
		{
			std::snprintf(text, sizeof text,
				"<circle class=\"message\" cx=\"%.1f\" cy=\"%.1f\" r=\"5\" fill=\"red\"/>\n",
				kLeft + frame.seconds / end * (kRight - kLeft), kTop + 6.0 + 10.0 * m);
			svg << text;
		}
	std::snprintf(
		text, sizeof text, "<text x=\"%.1f\" y=\"%.0f\">%.2f s</text>\n</svg>\n", kRight - 40.0, height - 14.0, end);
	svg << text;
	if (!svg)
		throw RunError(kExitRunError, "cannot write the plot " + path + ": " + std::strerror(errno));
}

} // namespace ffgltool
