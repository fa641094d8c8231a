// GLFixture: the GoogleTest fixture of every test that needs a GL context.
//
// One HeadlessGL context serves the whole test process. Without one a test is
// skipped, saying why, or fails when the environment has CI=true (a CI machine
// must run the GL tests). SetUp sets the bindings a test may have left behind
// back to 0 (program, textures of units 0 to 3 with unit 0 active, buffers,
// vertex array, renderbuffer, framebuffers), clears pending GL errors and makes
// a 64x64 host output framebuffer (HostOutput()), bound for draw and read with
// the viewport set; TearDown deletes it. A derived SetUp calls
// GLFixture::SetUp() first and returns when IsSkipped() || HasFatalFailure().
#pragma once

#include "ffglex/FFGLGL.h"
#include "support/HeadlessGL.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The bindings the GL toolkit's scope objects manage, by name ("program",
// "texture2D" of the active unit, ...), as glGetIntegerv reports them: compare
// two snapshots to show that code left the context as it found it.
using GLBindings = std::map<std::string, GLint>;

// The live GL objects, one entry per object ("buffer 3"), by kind (those for
// which glIsShader, glIsProgram, glIsBuffer, ... answer true), then ascending.
// Compare two snapshots to show that code created or deleted no GL object. A
// name that was generated but never bound is not an object yet.
using GLObjectNames = std::vector<std::string>;

// Pixels as 8-bit RGBA, rows bottom-up as GL stores them.
using RGBA8 = std::array<std::uint8_t, 4>;

class GLFixture : public ::testing::Test
{
protected:
	static constexpr GLint kOutputWidth = 64;
	static constexpr GLint kOutputHeight = 64;

	void SetUp() override;
	void TearDown() override;

	// The host output made by SetUp (kOutputWidth x kOutputHeight, renderbuffer colour).
	const HeadlessGL::Framebuffer& HostOutput() const { return hostOutput; }

	// Whether CI=true: there a test that lacks what it needs fails, not skips.
	static bool OnCI();

	static GLBindings CurrentBindings();
	static GLObjectNames LiveObjects();

	// Every pending GL error, cleared; GL_NO_ERROR when there was none,
	// otherwise the first one.
	static GLenum TakeGLError();

	// A GL_RGBA8 2D texture filled from rgba (rows bottom-up; empty leaves it
	// undefined), nearest filtering, clamped to edge, nothing left bound. The
	// caller deletes it with glDeleteTextures.
	static GLuint MakeRGBA8Texture(GLint width, GLint height, const std::vector<std::uint8_t>& rgba);

	// glReadPixels of the bound read framebuffer as GL_RGBA / GL_UNSIGNED_BYTE,
	// 4 bytes per pixel, rows bottom-up (y = 0 is the bottom row).
	static std::vector<std::uint8_t> ReadPixels(GLint x, GLint y, GLint width, GLint height);
	static RGBA8 ReadPixel(GLint x, GLint y);

private:
	HeadlessGL::Framebuffer hostOutput;
};
