// Random: the uniform random source every quick-start plug-in carries.
//
// Integers and floats come from one 32-bit Mersenne Twister per instance,
// seeded once from the operating system's entropy source. Not synchronised: an
// instance is used only on the thread that renders its plug-in.
#pragma once

#include <cstdint>
#include <random>

namespace ffglqs
{
class Random
{
public:
	// Opens the entropy source "/dev/urandom" (on Windows the system's
	// cryptographic generator), draws one 32-bit value and seeds the generator
	// with it. A device that cannot be opened or read throws the
	// standard library's own exception.
	Random();
	// A generator with a fixed seed and no entropy source: reproducible draws,
	// for tests and for plug-ins that want a repeatable sequence.
	explicit Random(std::uint32_t seed);

	// A uniformly distributed integer from min to max, both included. Equal
	// bounds return that value and draw nothing; reversed bounds are taken as
	// the same range.
	int GetRandomInt(int min, int max);
	// min + (max - min) * u in double precision, u in [0, 1) built from two
	// generator outputs, rounded to float. Reversed arguments give values
	// between them all the same; equal arguments give that value.
	float GetRandomFloat(float min, float max);

private:
	std::mt19937 generator;
};

} // namespace ffglqs
