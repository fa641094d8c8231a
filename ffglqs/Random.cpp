#include "ffglqs/Random.h"

#include <utility>

namespace ffglqs
{
namespace
{
std::uint32_t SeedFromDevice()
{
	// The device is needed for one value only, so it is not kept open. Windows
	// has no /dev/urandom; there the standard library's default device asks
	// the system's cryptographic generator (rand_s) instead.
#if defined(_WIN32)
	std::random_device device("default");
#else
	std::random_device device("/dev/urandom");
#endif
	return static_cast<std::uint32_t>(device());
}
} // namespace

Random::Random() : generator(SeedFromDevice())
{
}

Random::Random(std::uint32_t seed) : generator(seed)
{
}

int Random::GetRandomInt(int min, int max)
{
	// A one-value range needs no draw (the distribution would still take one).
	if (min == max)
		return min;
	// Reversed bounds would be undefined for the distribution; they mean the
	// same range.
	if (max < min)
		std::swap(min, max);
	std::uniform_int_distribution<int> distribution(min, max);
	return distribution(generator);
}

float Random::GetRandomFloat(float min, float max)
{
	const double low = min;
	const double span = static_cast<double>(max) - low;
	// Two outputs make one 64-bit fraction, lowest word first.
	const double a = static_cast<double>(generator());
	const double b = static_cast<double>(generator());
	const double u = (a + b * 4294967296.0) * (1.0 / 18446744073709551616.0);
	return static_cast<float>(low + span * u);
}

} // namespace ffglqs
