// Stateless helpers for sizes, colours, value ranges and text. None of them
// touches GL state.
#pragma once

#include <cstdint>
#include <string>

namespace ffglex
{
// True when n is non-zero and has a single bit set.
bool is_power_of_2(std::uint32_t n);

// The next power of two at or above n, computed on n's 32-bit pattern:
// npot(0) = 0, npot(3) = 4, npot(1024) = 1024. A value above 2^30 that is not
// a power of two gives the pattern 0x80000000; any other negative value gives
// 0.
int npot(int n);

// Hue (in turns, 0 to 1), saturation and value to red, green and blue. The hue
// is not wrapped: h = 1 falls into the last sector and gives (v, p, v), as does
// a negative hue.
void HSVtoRGB(float h, float s, float v, float& r, float& g, float& b);
void HSVtoRGB(double h, double s, double v, double* r, double* g, double* b);

// A value from min up to and including max, from the C library's rand(); the
// generator is never seeded here.
float random(float min, float max);

// x clamped to 0..1; NaN passes through.
float clamp01(float x);
// value clamped to low..high, the upper limit applied first, so low wins when
// it exceeds high; NaN passes through.
float clamp(float value, float low, float high);
// value mapped linearly from [low, high] to [newLow, newHigh] and clamped to
// the new range (upper limit first, so newLow wins when it exceeds newHigh);
// NaN passes through.
float map(float value, float low, float high, float newLow, float newHigh);

// Replaces every occurrence of from in str by to. The search resumes after the
// inserted text, so a replacement that contains from is not searched again and
// every call finishes. An empty from, or to equal to from, changes nothing.
void ReplaceAll(std::string& str, const std::string& from, const std::string& to);

} // namespace ffglex
