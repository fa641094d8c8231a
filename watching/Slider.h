// Slider: the arithmetic shared by every 0..1 host slider of our plug-ins.
#pragma once

#include <cmath>

// Limits a host value to 0..1. fmin answers the other operand for a NaN, so a
// NaN is taken as 1.
inline float ClampUnit(float value)
{
	return std::fmax(std::fmin(value, 1.0f), 0.0f);
}

// Halves away from zero; callers pass bounded values, so the result fits.
inline int RoundHalfAwayFromZero(float value)
{
	return static_cast<int>(std::lround(value));
}
