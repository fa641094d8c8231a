#include "ffglex/FFGLUtilities.h"

#include <cmath>
#include <cstdlib>

namespace ffglex
{
namespace
{
// The steps shared by both precisions; i is compared as a floating-point value
// so that h = 1 (i = 6), negative hues and NaN all fall into the last sector.
template <typename Real>
void HSVtoRGBImpl(Real h, Real s, Real v, Real& r, Real& g, Real& b)
{
	if (s == 0)
	{
		r = g = b = v;
		return;
	}
	const Real h6 = h * 6;
	const Real i = std::floor(h6);
	const Real f = h6 - i;
	const Real p = v * (1 - s);
	const Real q = v * (1 - s * f);
	const Real t = v * (1 - s * (1 - f));
	if (i == 0)
	{
		r = v, g = t, b = p;
	}
	else if (i == 1)
	{
		r = q, g = v, b = p;
	}
	else if (i == 2)
	{
		r = p, g = v, b = t;
	}
	else if (i == 3)
	{
		r = p, g = q, b = v;
	}
	else if (i == 4)
	{
		r = t, g = p, b = v;
	}
	else
	{
		r = v, g = p, b = q;
	}
}
} // namespace

bool is_power_of_2(std::uint32_t n)
{
	return n != 0 && (n & (n - 1)) == 0;
}

int npot(int n)
{
	std::uint32_t bits = static_cast<std::uint32_t>(n);
	if (is_power_of_2(bits))
		return n;
	// Keep only the highest set bit, then move one place up; the top bit moves
	// out of the 32 bits and leaves 0.
	while ((bits & (bits - 1)) != 0)
		bits &= bits - 1;
	return static_cast<int>(static_cast<std::uint32_t>(bits << 1));
}

void HSVtoRGB(float h, float s, float v, float& r, float& g, float& b)
{
	HSVtoRGBImpl(h, s, v, r, g, b);
}

void HSVtoRGB(double h, double s, double v, double* r, double* g, double* b)
{
	HSVtoRGBImpl(h, s, v, *r, *g, *b);
}

float random(float min, float max)
{
	// All in single precision: rand() values from 2^31 - 64 upward round to
	// 2^31, so max itself is reachable.
	return min + static_cast<float>(std::rand()) / (2147483648.0f / (max - min));
}

float clamp01(float x)
{
	if (x < 0.0f)
		x = 0.0f;
	if (x > 1.0f)
		x = 1.0f;
	return x;
}

float clamp(float value, float low, float high)
{
	if (value > high)
		value = high;
	if (value < low)
		value = low;
	return value;
}

float map(float value, float low, float high, float newLow, float newHigh)
{
	float result = newLow + ((value - low) * (newHigh - newLow)) / (high - low);
	if (newHigh < result)
		result = newHigh;
	if (result < newLow)
		result = newLow;
	return result;
}

void ReplaceAll(std::string& str, const std::string& from, const std::string& to)
{
	// An empty pattern would match between every pair of characters.
	if (from.empty() || from == to)
		return;
	std::string::size_type pos = str.find(from);
	while (pos != std::string::npos)
	{
		str.replace(pos, from.size(), to);
		pos = str.find(from, pos + to.size());
	}
}

} // namespace ffglex
