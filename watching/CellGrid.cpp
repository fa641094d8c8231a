#include "watching/CellGrid.h"

#include <algorithm>
#include <cstddef>

namespace CellGrid
{

Span Cut(std::uint32_t cell, std::uint32_t pixels, std::uint32_t cells)
{
	const std::uint32_t begin = cell * pixels / cells;
	return Span{ begin, std::max(begin + 1, (cell + 1) * pixels / cells) };
}

void Measure(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height, CellValues& out)
{
	const auto luma = [pixels, width](std::uint32_t x, std::uint32_t y)
	{
		const std::uint8_t* p = pixels + (static_cast<std::size_t>(y) * width + x) * 4;
		return Luma(Rgba8{ p[0], p[1], p[2], p[3] });
	};
	out.means.count = out.points.count = kCount;
	out.means.readable = out.points.readable = true;
	for (std::uint32_t row = 0; row < kRows; ++row)
	{
		const Span ys = Cut(row, height, kRows);
		for (std::uint32_t column = 0; column < kColumns; ++column)
		{
			const Span xs = Cut(column, width, kColumns);
			float sum = 0.0f;
			for (std::uint32_t y = ys.begin; y < ys.end; ++y)
			{
				// Summed a row at a time, as the GPU's first pass does.
				float rowSum = 0.0f;
				for (std::uint32_t x = xs.begin; x < xs.end; ++x)
					rowSum += luma(x, y);
				sum += rowSum;
			}
			const std::size_t i = row * kColumns + column;
			out.means.values[i] = sum / static_cast<float>((xs.end - xs.begin) * (ys.end - ys.begin));
			out.points.values[i] = luma((xs.begin + xs.end) / 2, (ys.begin + ys.end) / 2);
		}
	}
}

} // namespace CellGrid
