// CellReadback: the cell grid (CellGrid) of a watcher's input computed on the
// GPU and read back without making the host's thread wait.
//
// Measuring a frame is one small draw into the slot's block array (one
// fragment a block, so the work spreads over the GPU), sampling the input
// texture rather than the picture just drawn from it, so that it depends on
// nothing the host or the pass-through is still drawing. A fence follows.
// Once it has passed, a draw of points captures the blocks into the slot's
// buffer by transform feedback and a second fence follows; once that one has
// passed, Take maps the buffer. Capturing only once the blocks are drawn, and
// never reading a texture back, keeps a renderer that works on the host's
// thread from finishing the host's drawing first; on a GPU both steps are
// queued like any other command. Ready asks a fence without waiting.
//
// Every object is made by Build and released by Release while the context is
// current; the destructor issues no GL call. Measuring, copying and taking
// leave the host's framebuffers, viewport, program, vertex array, texture
// units and buffer bindings as they were, and its blending, scissor, depth,
// stencil, culling and rasterizer-discard switches and colour write mask,
// whatever they are.
#pragma once

#include "ffglex/FFGLGL.h"
#include "ffglex/FFGLShader.h"
#include "watching/CellSource.h"
#include "watching/ResultRing.h"

#include <cstdint>

class CellReadback final : public CellSource
{
public:
	CellReadback() { copyPass.AddTransformFeedbackVarying("block"); }

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
	struct Slot
	{
		GLuint blocks = 0;      // the block array, a texture
		GLuint framebuffer = 0; // that draws into it
		GLuint buffer = 0;      // the buffer the blocks are captured into
		GLsync fence = nullptr; // after the draw, then after the copy
		bool copied = false;
		std::uint32_t width = 0; // the picture measured
		std::uint32_t height = 0;
	};

	static bool Make(Slot& slot);
	static bool Passed(GLsync fence);
	void Copy(Slot& slot);

	ffglex::FFGLShader blockPass; // draws a slot's blocks
	ffglex::FFGLShader copyPass;  // captures them into the slot's buffer
	GLint sizeLocation = -1;      // blockPass's "Size": the picture's width and height
	GLuint vertexArray = 0;
	Slot slots[ResultRing::kSlots];
};
