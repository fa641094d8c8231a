// CellReadback: the cell grid (CellGrid) of a watcher's input computed on the
// GPU and read back without making the host's thread wait.
//
// Measuring a frame is two small draws that sample the input texture, not the
// picture just drawn from it, so they need not wait for the pass-through or
// the layers the host drew before: the first sums each row's pixels cell by
// cell (kColumns x the picture's height), the second adds the rows of each
// cell and takes its centre pixel (kColumns x kRows, two floats a cell). The
// result is copied into the slot's pixel buffer and a fence follows; Ready
// asks the fence without waiting, and Take maps the buffer once it has
// passed. On a GPU the copy and the fence are queued like the draws, so the
// host's thread never waits for them.
//
// Every object is made by Build and released by Release while the context is
// current; the destructor issues no GL call. Measuring and taking leave the
// host's framebuffers, viewport, program, vertex array, texture units, pixel
// pack buffer and pack state, and its blending, scissor, depth, stencil and
// culling switches as they were.
#pragma once

#include "ffglex/FFGLGL.h"
#include "ffglex/FFGLShader.h"
#include "watching/CellSource.h"
#include "watching/ResultRing.h"

#include <cstdint>

class CellReadback final : public CellSource
{
public:
	// Builds the programs and the slots, first releasing what an earlier call
	// made. False when something cannot be built; the caller then releases.
	bool Build();
	// Harmless when nothing was built, and when called twice.
	void Release();

	bool Start(const FFGLTextureStructTag& input, std::size_t slot) override;
	bool Ready(std::size_t slot) override;
	void Wait(std::size_t slot) override;
	void Take(std::size_t slot, CellValues& out) override;

private:
	// A colour texture and the framebuffer that draws into it.
	struct Target
	{
		GLuint texture = 0;
		GLuint framebuffer = 0;
	};
	struct Slot
	{
		Target cells;      // kColumns x kRows, mean and centre luma of each cell
		GLuint buffer = 0; // the pixel buffer the cells are copied into
		GLsync fence = nullptr;
	};

	static bool Make(Target& target, GLsizei width, GLsizei height, GLenum format);
	static void Free(Target& target);
	void Measure(const FFGLTextureStructTag& input, Slot& slot);

	ffglex::FFGLShader rowPass;
	ffglex::FFGLShader cellPass;
	GLuint vertexArray = 0;
	Target rows; // kColumns x rowsHeight, each row's sum in each cell's columns
	GLsizei rowsHeight = 0;
	Slot slots[ResultRing::kSlots];
};
