#include "watching/CellGrid.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace CellGrid
{

Span Cut(std::uint32_t cell, std::uint32_t pixels, std::uint32_t cells)
{
	const std::uint32_t begin = cell * pixels / cells;
	return Span{ begin, std::max(begin + 1, (cell + 1) * pixels / cells) };
}

Span Block(std::uint32_t block, std::uint32_t pixels, std::uint32_t cells)
{
	const Span cell = Cut(block / kBlocks, pixels, cells);
	const Span part = Cut(block % kBlocks, cell.end - cell.begin, kBlocks);
	return Span{ cell.begin + part.begin, cell.begin + part.end };
}

void FromBlocks(const float* blocks, std::uint32_t width, std::uint32_t height, CellValues& out)
{
	out.means.count = out.points.count = kCount;
	out.means.readable = out.points.readable = true;
	for (std::uint32_t row = 0; row < kRows; ++row)
		for (std::uint32_t column = 0; column < kColumns; ++column)
		{
			float sum = 0.0f;
			std::uint32_t pixels = 0;
			for (std::uint32_t by = row * kBlocks; by < (row + 1) * kBlocks; ++by)
				for (std::uint32_t bx = column * kBlocks; bx < (column + 1) * kBlocks; ++bx)
				{
					sum += blocks[2 * (by * kBlockColumns + bx)];
					const Span xs = Block(bx, width, kColumns);
					const Span ys = Block(by, height, kRows);
					pixels += (xs.end - xs.begin) * (ys.end - ys.begin);
				}
			const std::size_t i = row * kColumns + column;
			out.means.values[i] = sum / static_cast<float>(pixels);
			out.points.values[i] = blocks[2 * (row * kBlocks * kBlockColumns + column * kBlocks) + 1];
		}
}

void Measure(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height, CellValues& out)
{
	const auto luma = [pixels, width](std::uint32_t x, std::uint32_t y)
	{
		const std::uint8_t* p = pixels + (static_cast<std::size_t>(y) * width + x) * 4;
		return Luma(Rgba8{ p[0], p[1], p[2], p[3] });
	};
	std::vector<float> blocks(kBlockFloats);
	for (std::uint32_t by = 0; by < kBlockRows; ++by)
	{
		const Span ys = Block(by, height, kRows);
		const Span cellYs = Cut(by / kBlocks, height, kRows);
		for (std::uint32_t bx = 0; bx < kBlockColumns; ++bx)
		{
			const Span xs = Block(bx, width, kColumns);
			const Span cellXs = Cut(bx / kBlocks, width, kColumns);
			float sum = 0.0f;
			for (std::uint32_t y = ys.begin; y < ys.end; ++y)
				for (std::uint32_t x = xs.begin; x < xs.end; ++x)
					sum += luma(x, y);
			blocks[2 * (by * kBlockColumns + bx)] = sum;
			blocks[2 * (by * kBlockColumns + bx) + 1] =
				luma((cellXs.begin + cellXs.end) / 2, (cellYs.begin + cellYs.end) / 2);
		}
	}
	FromBlocks(blocks.data(), width, height, out);
}

} // namespace CellGrid
