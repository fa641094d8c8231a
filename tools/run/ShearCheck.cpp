#include "tools/run/ShearCheck.h"

#include <cstdlib>
#include <iterator>

namespace ffgltool
{
namespace
{

constexpr int kCommonWidths[] = { 160, 176, 320, 352, 480, 640, 720, 768, 800, 854, 960, 1024, 1280, 1366, 1440, 1600,
	1920, 2048, 2560, 3200, 3840, 4096 };

// The mean difference of R + G + B between pixels one row apart when the
// frame's bytes are read as rows of stride pixels; -1 when fewer than two such
// rows fit. Up to 64 row pairs and 256 pixels a row are compared.
double RowDifference(const std::uint8_t* pixels, std::size_t bytes, int stride)
{
	const std::size_t rowBytes = static_cast<std::size_t>(stride) * 4;
	const std::size_t rows = bytes / rowBytes;
	if (rows < 2)
		return -1.0;
	const std::size_t rowStep = rows > 65 ? (rows - 1) / 64 : 1;
	const std::size_t pixelStep = static_cast<std::size_t>(stride) > 256 ? static_cast<std::size_t>(stride) / 256 : 1;
	double sum = 0.0;
	std::size_t count = 0;
	for (std::size_t row = 0; row + 1 < rows; row += rowStep)
		for (std::size_t x = 0; x < static_cast<std::size_t>(stride); x += pixelStep)
		{
			const std::uint8_t* a = pixels + row * rowBytes + x * 4;
			const std::uint8_t* b = a + rowBytes;
			sum += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
			++count;
		}
	return sum / static_cast<double>(count);
}

} // namespace

std::optional<int> LikelyRowWidth(const std::uint8_t* pixels, int width, int height)
{
	const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
	const double given = RowDifference(pixels, bytes, width);
	// A flat or nearly flat picture says nothing about its width.
	if (given < 1.0)
		return std::nullopt;
	int likely = width;
	double best = given;
	for (const int candidate : kCommonWidths)
	{
		const double difference = RowDifference(pixels, bytes, candidate);
		// A divisor of the given width needs a smaller lead (see the header).
		const double margin = width % candidate == 0 ? 1.25 : 3.0;
		if (candidate != width && difference >= 0.0 && difference * margin < given && difference < best)
		{
			best = difference;
			likely = candidate;
		}
	}
	return likely;
}

} // namespace ffgltool
