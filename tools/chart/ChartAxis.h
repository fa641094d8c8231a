// ChartAxis: where a time and a value land on a panel of the tools' plots,
// and the ticks that label each axis; no drawing.
//
// Values are fractions of full scale (luma 0..1) labelled in %. What a reader
// of these plots wants is at the dark end: a drop-out's brightest frame and
// the threshold just above it, often 0.5 % apart. On a linear 0-100 % axis
// they fall a pixel apart; a log axis cannot show the 0 a drop-out often
// reads and spends its height on 0.01 % against 0.1 %, which means nothing
// here. So the value axis is piecewise linear: half its height is a band
// around the threshold (0 to twice a small threshold, 2.5 % either side of a
// larger one), the rest the values above it and, below a larger threshold, a
// short part from 0. Each part reads like any linear axis; where the scale
// changes is marked. The threshold so sits in the band's middle, well clear of
// the zero line, and 0.5 % below it at least 6 pixels away on a panel. Without a
// threshold the axis is one linear part.
#pragma once

#include <string>
#include <vector>

namespace ffgltool
{

struct ChartTick
{
	double value = 0.0;
	double at = 0.0; // pixels
	std::string label;
};

// Tick labels are at least this far apart (pixels), on either axis.
constexpr double kMinValueTickGap = 18.0;
constexpr double kMinTimeTickGap = 60.0;

// 0 to seconds from left to right pixels; labels "2 s".
class TimeAxis
{
public:
	TimeAxis(double seconds, double left, double right);

	double At(double seconds) const;
	std::vector<ChartTick> Ticks() const;

private:
	double seconds;
	double left;
	double right;
	double step;
};

// 0 at the bottom pixel (the larger y), upwards to top. threshold <= 0: none.
// largest: the largest value to show; values beyond 1 are drawn at 1.
class ValueAxis
{
public:
	ValueAxis(double threshold, double largest, double bottom, double top);

	// Clamped to 0..Top().
	double At(double value) const;
	double Top() const { return parts.back().to; }
	// The values where the scale changes, from the bottom up.
	std::vector<double> Breaks() const;
	// From 0 upwards; each part's ends among them.
	std::vector<ChartTick> Ticks() const;

private:
	struct Part
	{
		double from, to;     // values
		double fromAt, toAt; // pixels
	};

	// A part from the last one's end (or 0) to value, over share of the height.
	void Add(double value, double share);

	double bottom;
	double height;
	std::vector<Part> parts;
};

} // namespace ffgltool
