#include "tools/chart/SvgChart.h"

#include "tools/Command.h"
#include "tools/chart/ChartAxis.h"
#include "tools/run/RunOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ostream>

namespace ffgltool
{
namespace
{

constexpr double kWidth = 900.0;
constexpr double kLeft = 64.0; // room for "100 %"
constexpr double kRight = 876.0;
constexpr double kPanelHeight = 290.0;
constexpr double kPlotTop = 48.0; // within a panel, below the title and the legend
constexpr double kPlotBottom = 262.0;
constexpr double kCharWidth = 7.0; // a generous average for the 12 px sans-serif

// Numbers only: text goes through Escaped, so that no buffer cuts it short.
template <typename... Numbers>
void Put(std::ostream& svg, const char* format, Numbers... numbers)
{
	char text[256];
	std::snprintf(text, sizeof text, format, numbers...);
	svg << text;
}

std::string Escaped(const std::string& text)
{
	std::string out;
	for (char c : text)
		out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : std::string(1, c);
	return out;
}

// A legend entry's swatch at x on the baseline y, then its name; returns
// where the next entry starts.
double LegendEntry(std::ostream& svg, double x, double y, const std::string& swatch, const std::string& name)
{
	svg << swatch;
	Put(svg, "<text x=\"%.1f\" y=\"%.1f\">", x + 24.0, y);
	svg << Escaped(name) << "</text>\n";
	return x + 24.0 + static_cast<double>(name.size()) * kCharWidth + 18.0;
}

void Legend(std::ostream& svg, const ChartPanel& panel, double y)
{
	char swatch[256];
	double x = kLeft;
	for (const ChartSeries& series : panel.series)
	{
		std::snprintf(swatch, sizeof swatch,
			"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke-width=\"2\" stroke=\"", x, y - 4.0, x + 18.0,
			y - 4.0);
		x = LegendEntry(svg, x, y, swatch + Escaped(series.colour) + "\"/>", series.name);
	}
	if (!panel.shadedLabel.empty())
	{
		std::snprintf(swatch, sizeof swatch,
			"<rect x=\"%.1f\" y=\"%.1f\" width=\"18\" height=\"10\" fill=\"#d8d8d8\"/>", x, y - 9.0);
		x = LegendEntry(svg, x, y, swatch, panel.shadedLabel);
	}
	if (!panel.markerLabel.empty())
	{
		std::snprintf(
			swatch, sizeof swatch, "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"4\" fill=\"red\"/>", x + 9.0, y - 4.0);
		LegendEntry(svg, x, y, swatch, panel.markerLabel);
	}
}

void Axes(std::ostream& svg, const TimeAxis& time, const ValueAxis& value, double top, double bottom)
{
	for (const ChartTick& tick : time.Ticks())
	{
		Put(svg,
			"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#ececec\"/>"
			"<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">",
			tick.at, top, tick.at, bottom + 4.0, tick.at, bottom + 17.0);
		svg << tick.label << "</text>\n";
	}
	for (const ChartTick& tick : value.Ticks())
	{
		Put(svg,
			"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#ececec\"/>"
			"<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">",
			kLeft - 4.0, tick.at, kRight, tick.at, kLeft - 7.0, tick.at + 4.0);
		svg << tick.label << "</text>\n";
	}
	Put(svg, "<path d=\"M%.1f %.1fV%.1fH%.1f\" fill=\"none\" stroke=\"black\"/>\n", kLeft, top, bottom, kRight);
	for (double change : value.Breaks())
	{
		// Where the scale changes: a broken-axis sign, and its grid line darker.
		const double at = value.At(change);
		Put(svg,
			"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#b0b0b0\" stroke-dasharray=\"2 3\"/>"
			"<path d=\"M%.1f %.1fl8 -6M%.1f %.1fl8 -6\" stroke=\"black\"/>\n",
			kLeft, at, kRight, at, kLeft - 4.0, at + 1.0, kLeft - 4.0, at + 5.0);
	}
}

void Panel(std::ostream& svg, const ChartPanel& panel, const TimeAxis& time, double offset)
{
	const double top = offset + kPlotTop, bottom = offset + kPlotBottom;
	const bool threshold = !panel.thresholdLabel.empty();
	double largest = 0.0;
	for (const ChartSeries& series : panel.series)
		for (const ChartPoint& point : series.points)
			largest = std::max(largest, point.value);
	const ValueAxis value(threshold ? panel.threshold : 0.0, largest, bottom, top);

	Put(svg, "<text x=\"%.1f\" y=\"%.1f\" font-weight=\"bold\">", kLeft, offset + 16.0);
	svg << Escaped(panel.title) << "</text>\n";
	Legend(svg, panel, offset + 36.0);
	for (const ChartSpan& span : panel.shaded)
		Put(svg, "<rect class=\"run\" x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"#d8d8d8\"/>\n",
			time.At(span.from), top, std::max(time.At(span.to) - time.At(span.from), 1.0), bottom - top);
	Axes(svg, time, value, top, bottom);
	for (const ChartSeries& series : panel.series)
	{
		svg << "<polyline fill=\"none\" stroke-width=\"1.5\" stroke-linejoin=\"round\" stroke=\""
			<< Escaped(series.colour) << "\" points=\"";
		for (const ChartPoint& point : series.points)
			Put(svg, "%.1f,%.1f ", time.At(point.seconds), value.At(point.value));
		svg << "\"/>\n";
	}
	if (threshold)
	{
		// Its label at the right end, above the line unless that is the top;
		// the line sits well above the zero line (ChartAxis).
		const double at = value.At(panel.threshold);
		Put(svg,
			"<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"green\" stroke-dasharray=\"6 3\"/>"
			"<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\" fill=\"green\" stroke=\"white\" stroke-width=\"3\" "
			"paint-order=\"stroke\">",
			kLeft, at, kRight, at, kRight - 4.0, at - top < 16.0 ? at + 14.0 : at - 4.0);
		svg << Escaped(panel.thresholdLabel) << "</text>\n";
	}
	std::vector<double> markers = panel.markers;
	std::sort(markers.begin(), markers.end());
	for (std::size_t i = 0, stacked = 0; i < markers.size(); ++i)
	{
		stacked = i > 0 && markers[i] == markers[i - 1] ? stacked + 1 : 0;
		Put(svg, "<circle class=\"message\" cx=\"%.1f\" cy=\"%.1f\" r=\"4\" fill=\"red\"/>\n", time.At(markers[i]),
			top + 6.0 + 9.0 * static_cast<double>(stacked));
	}
}

} // namespace

void WriteSvgChart(std::ostream& svg, const Chart& chart)
{
	const double height = kPanelHeight * static_cast<double>(std::max<std::size_t>(chart.panels.size(), 1)) + 8.0;
	Put(svg,
		"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" font-family=\"sans-serif\" "
		"font-size=\"12\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
		kWidth, height);
	const TimeAxis time(chart.seconds, kLeft, kRight);
	for (std::size_t p = 0; p < chart.panels.size(); ++p)
		Panel(svg, chart.panels[p], time, kPanelHeight * static_cast<double>(p));
	svg << "</svg>\n";
}

void WriteSvgChart(const std::string& path, const Chart& chart)
{
	std::ofstream svg(path);
	WriteSvgChart(svg, chart);
	if (!svg)
		throw RunError(kExitRunError, "cannot write the plot " + path + ": " + std::strerror(errno));
}

} // namespace ffgltool
