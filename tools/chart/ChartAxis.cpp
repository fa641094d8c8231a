#include "tools/chart/ChartAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ffgltool
{
namespace
{

// The band's share of the height, and the part's below a larger threshold.
constexpr double kBandShare = 0.5;
constexpr double kBottomShare = 0.15;
// The band reaches this far either side of a threshold above it.
constexpr double kBandReach = 0.025;

// The smallest of 1, 2, 2.5 and 5 times a power of ten that puts ticks at
// least gap pixels apart on span values drawn over pixels.
double NiceStep(double span, double pixels, double gap)
{
	const double least = span * gap / pixels * (1.0 - 1e-9);
	for (double decade = std::pow(10.0, std::floor(std::log10(least)));; decade *= 10.0)
		for (double mantissa : { 1.0, 2.0, 2.5, 5.0 })
			if (mantissa * decade >= least)
				return mantissa * decade;
}

double CeilTo(double value, double step)
{
	return std::ceil(value / step - 1e-6) * step;
}

// With as few decimals as the value needs: "0", "2.5", "0.25".
std::string Label(double value, const char* unit)
{
	int decimals = 0;
	while (decimals < 4 &&
		std::fabs(value * std::pow(10.0, decimals) - std::round(value * std::pow(10.0, decimals))) > 1e-6)
		++decimals;
	char text[32];
	std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
	return text;
}

} // namespace

TimeAxis::TimeAxis(double seconds, double left, double right) :
	seconds(seconds > 0.0 ? seconds : 1.0),
	left(left),
	right(right),
	step(NiceStep(this->seconds, right - left, kMinTimeTickGap))
{
}

double TimeAxis::At(double s) const
{
	return left + s / seconds * (right - left);
}

std::vector<ChartTick> TimeAxis::Ticks() const
{
	std::vector<ChartTick> ticks;
	for (int i = 0; i * step <= seconds * (1.0 + 1e-9); ++i)
		ticks.push_back({ i * step, At(i * step), Label(i * step, "s") });
	return ticks;
}

ValueAxis::ValueAxis(double threshold, double largest, double bottom, double top) : bottom(bottom), height(bottom - top)
{
	largest = largest > 0.0 ? std::min(largest, 1.0) : 0.0;
	if (threshold <= 0.0 || threshold >= 1.0)
	{
		Add(largest > 0.0 ? CeilTo(largest, NiceStep(largest, height, kMinValueTickGap)) : 1.0, 1.0);
		return;
	}
	const double reach = std::min(threshold, kBandReach);
	const double step = NiceStep(2.0 * reach, height * kBandShare, kMinValueTickGap);
	const double high = std::min(CeilTo(threshold + reach, step), 1.0);
	double low = std::floor(std::max(threshold - reach, 0.0) / step + 1e-6) * step;
	// A short part from 0 only where it saves the band much height.
	if (low < (high - low) / 2.0 - 1e-9)
		low = 0.0;
	const double below = low > 0.0 ? kBottomShare : 0.0;
	if (below > 0.0)
		Add(low, below);
	// Values that stay near the band need no part of their own.
	if (largest <= high + (high - low) / 2.0)
	{
		Add(std::min(CeilTo(std::max(largest, high), step), 1.0), 1.0 - below);
		return;
	}
	Add(high, kBandShare);
	const double above = 1.0 - below - kBandShare;
	Add(std::min(CeilTo(largest, NiceStep(largest - high, height * above, kMinValueTickGap)), 1.0), above);
}

void ValueAxis::Add(double value, double share)
{
	const double from = parts.empty() ? 0.0 : parts.back().to;
	const double fromAt = parts.empty() ? bottom : parts.back().toAt;
	parts.push_back({ from, value, fromAt, fromAt - share * height });
}

double ValueAxis::At(double value) const
{
	value = value > 0.0 ? std::min(value, Top()) : 0.0;
	std::size_t p = 0;
	while (p + 1 < parts.size() && value > parts[p].to)
		++p;
	const Part& part = parts[p];
	return part.fromAt - (value - part.from) / (part.to - part.from) * (part.fromAt - part.toAt);
}

std::vector<double> ValueAxis::Breaks() const
{
	std::vector<double> breaks;
	for (std::size_t p = 0; p + 1 < parts.size(); ++p)
		breaks.push_back(parts[p].to);
	return breaks;
}

std::vector<ChartTick> ValueAxis::Ticks() const
{
	std::vector<ChartTick> ticks{ { 0.0, bottom, Label(0.0, "%") } };
	for (const Part& part : parts)
	{
		// Ticks inside a part are as many as fit between its ends' labels.
		const double step = NiceStep(part.to - part.from, part.fromAt - part.toAt, kMinValueTickGap);
		for (double k = std::floor(part.from / step + 1e-9) + 1.0; k * step < part.to - 1e-9; ++k)
			if (part.fromAt - At(k * step) >= kMinValueTickGap && At(k * step) - part.toAt >= kMinValueTickGap)
				ticks.push_back({ k * step, At(k * step), Label(k * step * 100.0, "%") });
		ticks.push_back({ part.to, part.toAt, Label(part.to * 100.0, "%") });
	}
	return ticks;
}

} // namespace ffgltool
