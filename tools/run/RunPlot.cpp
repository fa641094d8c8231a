#include "tools/run/RunPlot.h"

#include "tools/chart/SvgChart.h"

#include <algorithm>

namespace ffgltool
{
namespace
{

// A series that a rule's panel draws: the frame's value for rule r.
struct RuleSeries
{
	const char* rule; // the rule whose panel draws it; nullptr: every rule's
	const char* name; // nullptr: the rule's measure
	const char* colour;
	float (*value)(const PlotFrame& frame, std::size_t r);
};

// Each rule's panel draws the series listed for it here, in this order.
constexpr RuleSeries kSeries[] = {
	{ nullptr, nullptr, "#1f5fbf",
		[](const PlotFrame& frame, std::size_t r) { return frame.verdicts.rules[r].measure; } },
};

std::string Spaced(std::string text)
{
	std::replace(text.begin(), text.end(), '_', ' ');
	return text;
}

ChartPanel RulePanel(const std::vector<PlotFrame>& frames, const WatchRule& rule, std::size_t r, double end)
{
	ChartPanel panel;
	panel.title = Spaced(rule.measure) + " per frame, rule \"" + rule.name + "\"";
	for (const RuleSeries& listed : kSeries)
	{
		if (listed.rule != nullptr && rule.name != listed.rule)
			continue;
		ChartSeries series{ listed.name != nullptr ? listed.name : Spaced(rule.measure), listed.colour, {} };
		for (const PlotFrame& frame : frames)
			series.points.push_back({ frame.seconds, listed.value(frame, r) });
		panel.series.push_back(std::move(series));
	}
	panel.threshold = rule.threshold;
	panel.thresholdLabel = "threshold " + rule.thresholdDisplay;
	panel.shadedLabel = "judged " + rule.name;
	// A run of judged frames is shaded from its first frame to the next frame.
	for (std::size_t i = 0; i < frames.size(); ++i)
		if (frames[i].verdicts.rules[r].judged && (i == 0 || !frames[i - 1].verdicts.rules[r].judged))
		{
			std::size_t j = i;
			while (j < frames.size() && frames[j].verdicts.rules[r].judged)
				++j;
			panel.shaded.push_back({ frames[i].seconds, j < frames.size() ? frames[j].seconds : end });
		}
	return panel;
}

} // namespace

void WriteRunPlot(const std::string& path, const std::vector<PlotFrame>& frames, const std::vector<WatchRule>& rules)
{
	Chart chart;
	chart.seconds = frames.empty() ? 1.0 : std::max(frames.back().seconds, 1e-3);
	for (std::size_t r = 0; r < rules.size(); ++r)
		chart.panels.push_back(RulePanel(frames, rules[r], r, chart.seconds));
	if (chart.panels.empty())
		chart.panels.push_back({});
	chart.panels.front().markerLabel = "OSC message";
	for (const PlotFrame& frame : frames)
		chart.panels.front().markers.insert(chart.panels.front().markers.end(), frame.messages, frame.seconds);
	if (rules.empty())
		chart.panels.front().title = "no rule followed";
	WriteSvgChart(path, chart);
}

} // namespace ffgltool
