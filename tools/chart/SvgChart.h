// SvgChart: the one SVG picture that the tools' --plot options write, which
// any browser opens: panels stacked on one time axis, each with its series of
// values (fractions of full scale, shown in %) against seconds, a threshold,
// shaded spans and markers, a legend, and ticks on both axes (ChartAxis says
// how values are scaled). Each shaded span is a rect of class "run", each
// marker a circle of class "message"; nothing else carries those classes.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ffgltool
{

struct ChartPoint
{
	double seconds = 0.0;
	double value = 0.0;
};

struct ChartSeries
{
	std::string name; // in the legend
	std::string colour;
	std::vector<ChartPoint> points; // in time order, joined by a line
};

struct ChartSpan
{
	double from = 0.0; // seconds
	double to = 0.0;
};

struct ChartPanel
{
	std::string title;
	std::vector<ChartSeries> series;
	double threshold = 0.0;     // drawn, and the value axis scaled around it, when thresholdLabel is set
	std::string thresholdLabel; // "threshold 3.5%"
	std::vector<ChartSpan> shaded;
	std::string shadedLabel;     // in the legend, when there are spans
	std::vector<double> markers; // seconds, one per event; events at one time stack
	std::string markerLabel;
};

struct Chart
{
	double seconds = 1.0; // the time axis ends there
	std::vector<ChartPanel> panels;
};

void WriteSvgChart(std::ostream& svg, const Chart& chart);
// Throws RunError when the file cannot be written.
void WriteSvgChart(const std::string& path, const Chart& chart);

} // namespace ffgltool
