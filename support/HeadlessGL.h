// HeadlessGL: an OpenGL 4.1 core context without a window, for tests and the
// headless host tool.
//
// The context comes from EGL on the surfaceless platform, so it needs no
// display server; with Mesa it runs on llvmpipe when no GPU is present. It has
// no default framebuffer: draw into a framebuffer made by
// CreateHostFramebuffer, which stands for the framebuffer a host binds before
// it calls a plug-in.
//
//   std::string error;
//   std::unique_ptr<HeadlessGL> gl = HeadlessGL::Create(&error);
//   if (!gl) { ... error says why ... }
//   HeadlessGL::Framebuffer output = gl->CreateHostFramebuffer(64, 64);
//   ... render, glReadPixels ...
//   HeadlessGL::DeleteHostFramebuffer(output);
//
// All GL calls go through ffglex/FFGLGL.h; EGL stays inside HeadlessGL.cpp,
// which loads libEGL.so.1 at run time on the first Create.
#pragma once

#include "ffglex/FFGLGL.h"

#include <memory>
#include <string>

class HeadlessGL
{
public:
	// A framebuffer standing for a host's output, with a GL_RGBA8
	// renderbuffer. All names 0 when creation failed.
	struct Framebuffer
	{
		GLuint framebuffer = 0;
		GLuint colour = 0;
		GLint width = 0;
		GLint height = 0;

		bool IsValid() const { return framebuffer != 0; }
	};

	// Creates a 4.1 core-profile context and makes it current on the calling
	// thread. Null when that is impossible; error (if given) then says why in
	// one line and, where a missing system package is the likely cause (the EGL
	// library, Mesa's EGL driver, its software renderer), names it.
	static std::unique_ptr<HeadlessGL> Create(std::string* error = nullptr);
	// Releases the context (and makes no context current if it was current).
	~HeadlessGL();
	HeadlessGL(const HeadlessGL&) = delete;
	HeadlessGL& operator=(const HeadlessGL&) = delete;

	// Makes this context current on the calling thread again.
	bool MakeCurrent() const;

	// GL_RENDERER and GL_VERSION, read when the context was created.
	const std::string& Renderer() const { return renderer; }
	const std::string& Version() const { return version; }

	// Creates a complete framebuffer of the given size, cleared to
	// transparent black, and binds it as the host's
	// output (BindHostFramebuffer). Invalid (names 0) when width or height is
	// not positive or the framebuffer is incomplete; nothing is left bound then
	// but framebuffer 0. Leaves no renderbuffer bound.
	Framebuffer CreateHostFramebuffer(GLint width, GLint height) const;
	// Binds the framebuffer for drawing and reading and sets the viewport to
	// its whole size, as a host does before calling a plug-in.
	static void BindHostFramebuffer(const Framebuffer& output);
	// Deletes the framebuffer and its colour attachment; names become 0.
	// Harmless on an invalid one.
	static void DeleteHostFramebuffer(Framebuffer& output);

private:
	HeadlessGL() = default;

	// EGLDisplay and EGLContext, kept opaque so that EGL stays out of this
	// header.
	void* display = nullptr;
	void* context = nullptr;
	std::string renderer;
	std::string version;
};
