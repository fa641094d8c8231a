// SampleMeasure: what the black guard looks at in a picture (the Watch sees
// the whole picture as cells: CellGrid). A grid of sample points laid over a
// viewport, read through a PixelReader into an array
// of luma values; the rules' verdicts are reductions of that array
// (BrightestLuma for the black rule, the change from a reference frame for the
// still rule).
//
// The grid is the same list of fractions on both axes; the black guard's is
// five fractions {0.1, 0.3, 0.5, 0.7, 0.9}, 25 points. Sample i is row i / n,
// column i % n, rows from the bottom of the viewport upwards. Reading
// allocates nothing.
#pragma once

#include "host/FFGLRecords.h"
#include "watching/PixelReader.h"

#include <array>
#include <cstddef>
#include <cstdint>

struct SamplePoint
{
	std::int32_t x;
	std::int32_t y;
};

// Luma of every sample, 0 (black) to 1 (white), in sample order. A sample
// the reader could not see reads as white and clears readable.
struct LumaSamples
{
	static constexpr std::size_t kCapacity = 1024;
	std::array<float, kCapacity> values;
	std::size_t count = 0;
	bool readable = true;
};

// Rec. 709 luma of an 8-bit pixel, 0..1, in single precision.
float Luma(Rgba8 pixel);

// The largest value of the array; 0 for an empty one.
float BrightestLuma(const LumaSamples& samples);

class SampleMeasure
{
public:
	static constexpr std::size_t kMaxPerAxis = 16;

	// The black guard's 5 x 5 grid.
	SampleMeasure();
	// A grid of its own: count fractions (at most kMaxPerAxis, each 0..1) used
	// on both axes. The array must outlive the measure.
	SampleMeasure(const float* fractions, std::size_t count);

	// The viewport the grid is laid over; zero until set. Kept as given: a
	// later change of the host's viewport does not move the grid.
	void SetViewport(const FFGLViewportStructTag& vp) { viewport = vp; }
	const FFGLViewportStructTag& Viewport() const { return viewport; }

	std::size_t Count() const { return perAxis * perAxis; }
	// Where sample i lies, in window coordinates. An axis of fewer than two
	// pixels puts every fraction on its first pixel.
	SamplePoint Position(std::size_t i) const;

	// Reads every sample; out.count becomes Count().
	void Read(const PixelReader& reader, LumaSamples& out) const;

private:
	const float* pos;
	std::size_t perAxis;
	FFGLViewportStructTag viewport = {};
};
