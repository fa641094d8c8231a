// The cell grid computed on the GPU against the CPU model of it (CellGrid),
// on ffmpeg-built pictures, whatever drawing state the host has left set; and
// what measuring leaves of the context.
#include "tests/support/Clips.h"
#include "tests/support/GLFixture.h"
#include "watching/CellReadback.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using CellReadbackGLTest = GLFixture;

const GLenum kSwitches[] = { GL_BLEND, GL_SCISSOR_TEST, GL_DEPTH_TEST, GL_STENCIL_TEST, GL_CULL_FACE };

// Drawing state under which a draw of the measure's own would write nothing
// or something else: every switch on and set to reject or alter, no colour
// channel written.
void SetHostileState()
{
	for (const GLenum capability : kSwitches)
		glEnable(capability);
	glBlendFunc(GL_ZERO, GL_ZERO);
	glScissor(0, 0, 1, 1);
	glDepthFunc(GL_NEVER);
	glStencilFunc(GL_NEVER, 0, 0);
	glCullFace(GL_FRONT_AND_BACK);
	glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
}

void ResetHostileState()
{
	for (const GLenum capability : kSwitches)
		glDisable(capability);
	glBlendFunc(GL_ONE, GL_ZERO);
	glDepthFunc(GL_LESS);
	glStencilFunc(GL_ALWAYS, 0, ~0u);
	glCullFace(GL_BACK);
	glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

TEST_F(CellReadbackGLTest, MeasuresAsTheCpuModelAndLeavesTheContextAsFound)
{
	struct Case
	{
		const char* what;
		std::string graph;
		GLint width;
		GLint height;
		GLint textureWidth; // the picture fills the texture's lower left
		GLint textureHeight;
	};
	const Case cases[] = {
		{ "640 x 360", "testsrc2=s=640x360", 640, 360, 640, 360 },
		{ "cells of unequal sizes", "testsrc2=s=650x371", 650, 371, 650, 371 },
		{ "fewer pixels than cells", "testsrc2=s=30x20", 30, 20, 30, 20 },
		{ "in a larger texture", "testsrc2=s=640x360", 640, 360, 1024, 512 },
	};
	const GLObjectNames objectsBefore = LiveObjects();
	CellReadback readback;
	ASSERT_TRUE(readback.Build());
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		std::string error;
		const tests::Clip clip = tests::MakeClip(c.graph + ":d=0.04,vflip", c.width, c.height, error);
		ASSERT_EQ(clip.frames.size(), 1u) << error;
		const GLuint texture = MakeRGBA8Texture(c.textureWidth, c.textureHeight, {});
		glBindTexture(GL_TEXTURE_2D, texture);
		glTexSubImage2D(
			GL_TEXTURE_2D, 0, 0, 0, c.width, c.height, GL_RGBA, GL_UNSIGNED_BYTE, clip.frames.front().data());
		glBindTexture(GL_TEXTURE_2D, 0);
		const auto w = static_cast<std::uint32_t>(c.width);
		const auto h = static_cast<std::uint32_t>(c.height);
		const FFGLTextureStructTag input{ w, h, static_cast<std::uint32_t>(c.textureWidth),
			static_cast<std::uint32_t>(c.textureHeight), texture };

		const GLBindings bindings = CurrentBindings();
		SetHostileState();
		ASSERT_TRUE(readback.Start(input, 2));
		readback.Wait(2);
		CellValues gpu;
		readback.Take(2, gpu);
		for (const GLenum capability : kSwitches)
			EXPECT_TRUE(glIsEnabled(capability)) << capability;
		GLboolean mask[4] = { GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE };
		glGetBooleanv(GL_COLOR_WRITEMASK, mask);
		EXPECT_FALSE(mask[0] || mask[1] || mask[2] || mask[3]);
		ResetHostileState();
		EXPECT_EQ(CurrentBindings(), bindings);
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));

		CellValues cpu;
		CellGrid::Measure(clip.frames.front().data(), w, h, cpu);
		ASSERT_EQ(gpu.means.count, cpu.means.count);
		for (std::size_t i = 0; i < cpu.means.count; ++i)
		{
			ASSERT_NEAR(gpu.means.values[i], cpu.means.values[i], 1e-5f) << "cell " << i;
			ASSERT_NEAR(gpu.points.values[i], cpu.points.values[i], 1e-5f) << "cell " << i;
		}
		glDeleteTextures(1, &texture);
	}
	readback.Release();
	EXPECT_EQ(LiveObjects(), objectsBefore);
}
} // namespace
