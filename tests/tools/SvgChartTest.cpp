// The tools' plots: ticks on round values with labels apart, the threshold's
// band drawn wide enough to read, and a picture that xmllint accepts whatever
// its text holds.
#include "tools/chart/SvgChart.h"
#include "tests/tools/ToolProcess.h"
#include "tools/chart/ChartAxis.h"
#include "tools/run/RunOptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace ffgltool;

namespace
{

constexpr double kBottom = 262.0, kTop = 48.0; // a panel's plot area

// Labels joined by '|'; fails the test unless ticks rise at least a label's
// height apart, each where the axis puts its value.
template <typename Axis>
std::string Labels(const Axis& axis, double direction)
{
	const double gap = (direction > 0.0 ? kMinTimeTickGap : kMinValueTickGap) - 1e-9;
	const std::vector<ChartTick> ticks = axis.Ticks();
	std::string labels = ticks.at(0).label;
	for (std::size_t i = 0; i < ticks.size(); ++i)
	{
		EXPECT_DOUBLE_EQ(ticks[i].at, axis.At(ticks[i].value)) << ticks[i].label;
		if (i == 0)
			continue;
		EXPECT_GE((ticks[i].at - ticks[i - 1].at) * direction, gap) << ticks[i - 1].label << ", " << ticks[i].label;
		labels += "|" + ticks[i].label;
	}
	return labels;
}

} // namespace

TEST(SvgChartTest, TicksFallOnRoundValuesTheirLabelsApart)
{
	EXPECT_EQ(Labels(TimeAxis(2.5, 64.0, 876.0), 1.0),
		"0 s|0.2 s|0.4 s|0.6 s|0.8 s|1 s|1.2 s|1.4 s|1.6 s|1.8 s|2 s|2.2 s|2.4 s");
	const struct
	{
		double threshold, largest;
		const char* labels;
	} cases[] = {
		{ 0.0, 0.8, "0 %|10 %|20 %|30 %|40 %|50 %|60 %|70 %|80 %" },
		{ 0.035, 0.9, "0 %|2 %|4 %|6 %|40 %|60 %|80 %|100 %" },           // 20 % would crowd 6 %
		{ 0.035, 0.05, "0 %|1 %|2 %|3 %|4 %|5 %|6 %" },                   // no part above the band
		{ 0.095, 0.9, "0 %|7 %|8 %|9 %|10 %|11 %|12 %|50 %|75 %|100 %" }, // a part below the band
		{ 0.002f, 0.3, "0 %|0.1 %|0.2 %|0.3 %|0.4 %|10 %|15 %|20 %|25 %|30 %" },
	};
	for (const auto& c : cases)
		EXPECT_EQ(Labels(ValueAxis(c.threshold, c.largest, kBottom, kTop), -1.0), c.labels)
			<< c.threshold << " " << c.largest;
}

// Whatever the threshold a calibration finds (up to the guard's 25 %), 0.5 %
// below it is apart from it, and its label, 4 pixels above its line, clears
// the zero line.
TEST(SvgChartTest, TheThresholdsBandIsReadable)
{
	for (int tenths = 2; tenths <= 250; ++tenths)
		for (double largest : { 0.0, 1.0 })
		{
			const double threshold = tenths / 1000.0;
			const ValueAxis axis(threshold, largest, kBottom, kTop);
			EXPECT_GE(axis.At(threshold - 0.005) - axis.At(threshold), threshold > 0.005 ? 6.0 : 0.0) << threshold;
			EXPECT_GE(kBottom - axis.At(threshold), 24.0) << threshold;
			EXPECT_DOUBLE_EQ(axis.At(axis.Top()), kTop);
			EXPECT_GE(axis.Top(), largest);
		}
}

TEST(SvgChartTest, WritesAPictureXmllintAccepts)
{
	Chart chart;
	chart.seconds = 2.0;
	ChartPanel panel;
	panel.title = "<\"rule\" & 'measure'>";
	panel.series.push_back({ "luma <&>", "blue", { { 0.0, 0.02 }, { 1.0, 0.9 }, { 2.0, 0.0 } } });
	panel.threshold = 0.035;
	panel.thresholdLabel = "threshold < 3.5%";
	panel.shaded = { { 0.5, 1.0 }, { 1.5, 2.0 } };
	panel.shadedLabel = "judged & shaded";
	panel.markers = { 1.0, 0.5, 1.0 };
	panel.markerLabel = "message";
	chart.panels = { panel, ChartPanel() };
	const std::string path = TempPath("chart.svg");
	WriteSvgChart(path, chart);
	EXPECT_EQ(RunTool("xmllint", { "--noout", path }).exitStatus, 0);
	const std::string svg = FileContents(path);
	std::size_t runs = 0, messages = 0;
	for (auto at = svg.find("class=\"run\""); at != std::string::npos; at = svg.find("class=\"run\"", at + 1))
		++runs;
	for (auto at = svg.find("class=\"message\""); at != std::string::npos; at = svg.find("class=\"message\"", at + 1))
		++messages;
	EXPECT_EQ(runs, 2u);
	EXPECT_EQ(messages, 3u);
	std::remove(path.c_str());
	EXPECT_THROW(WriteSvgChart("/nonexistent/chart.svg", chart), RunError);
}
