// CellGrid: the whole picture as a grid of cells, the measure the Watch
// judges. The picture is cut into kColumns x kRows cells of whole pixels, the
// same count at every size (16 x 15 pixels at 640 x 360, 48 x 45 at 1920 x
// 1080), and each cell gives two values:
// - its mean luma, to which every pixel of the cell contributes. The black
//   rule judges the brightest mean: a lit figure larger than two cells each
//   way fills a whole cell at any position, and an 8 x 8 object at 80 %
//   straddling four cells at 640 x 360 still lifts one of them to 5.3 %;
//   while sensor noise averages away (over 240 pixels, +-12 levels of noise
//   leave a cell's mean within about half a level, one standard deviation),
//   so a capped lens reads as the black it is.
// - the luma of its centre pixel, for the still rule. A mean over a cell
//   hides the noise that tells a live picture from a frozen one (the means of
//   a tripod shot with +-3 levels of noise change by about 0.1 % luma from
//   frame to frame); single pixels keep it, and a frozen picture repeats them
//   exactly.
//
// Cell c of an axis of n pixels covers [c * n / k, max(c * n / k + 1,
// (c + 1) * n / k)) for k cells on it, in integers: every pixel of a picture
// at least k pixels wide belongs to exactly one cell, and a narrower picture
// repeats pixels rather than leave a cell empty. Cells are numbered row by
// row from the bottom of the picture, as GL window coordinates count rows.
//
// The sums are taken in blocks: each cell is cut the same way into kBlocks x
// kBlocks blocks, and a block's sum is a pass over its pixels, row by row.
// The GPU computes the blocks (CellReadback), one fragment each, so that
// the work spreads over many fragments; FromBlocks makes the cells of them,
// for the GPU's blocks and for Measure's alike, the CPU model of the GPU's
// work for tools and tests.
#pragma once

#include "watching/SampleMeasure.h"

#include <cstdint>

// The two values of every cell, in cell order.
struct CellValues
{
	LumaSamples means;  // mean luma of each cell
	LumaSamples points; // luma of each cell's centre pixel
};

namespace CellGrid
{
constexpr std::uint32_t kColumns = 40;
constexpr std::uint32_t kRows = 24;
constexpr std::uint32_t kCount = kColumns * kRows;
constexpr std::uint32_t kBlocks = 4;
// The block array: kBlockColumns x kBlockRows blocks, rows from the bottom,
// two floats a block: the sum of its pixels' luma, and its cell's centre
// pixel's luma.
constexpr std::uint32_t kBlockColumns = kColumns * kBlocks;
constexpr std::uint32_t kBlockRows = kRows * kBlocks;
constexpr std::uint32_t kBlockFloats = kBlockColumns * kBlockRows * 2;
static_assert(kCount <= LumaSamples::kCapacity, "a cell's values must fit the samples' capacity");

// The pixels [begin, end) of cell `cell` of an axis of `pixels` pixels cut
// into `cells` cells; pixels >= 1.
struct Span
{
	std::uint32_t begin;
	std::uint32_t end;
};
Span Cut(std::uint32_t cell, std::uint32_t pixels, std::uint32_t cells);
// The pixels of block `block` (0..kBlockColumns) of an axis of `pixels`
// pixels.
Span Block(std::uint32_t block, std::uint32_t pixels, std::uint32_t cells);

// The cells of a block array (kBlockFloats floats) of a picture of width x
// height (both >= 1).
void FromBlocks(const float* blocks, std::uint32_t width, std::uint32_t height, CellValues& out);

// The cells of an RGBA picture of width x height (both >= 1) held in memory,
// 4 bytes a pixel, rows without padding, the bottom row first.
void Measure(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height, CellValues& out);
} // namespace CellGrid
