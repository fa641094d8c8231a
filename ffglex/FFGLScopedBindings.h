// Scope objects for GL bindings. Constructing one binds an object (or activates
// a texture unit); ending the scope, through EndScope or the destructor, returns
// that piece of state to its default: name 0, or texture unit 0. They do not
// restore what was bound before, with one exception: ScopedFBOBinding asked to
// RestorePrevious rebinds the host's draw and read framebuffers.
//
// Binding only through these objects means that every return path, early ones
// included, leaves the context in the state the code promises. The unbinding
// happens once: EndScope followed by destruction issues no second call.
//
// Scope objects issue GL calls and nothing else: no allocation, no error query.
// Use them only on the thread whose GL context is current. They are neither
// copyable nor movable, since a copy would unbind twice.
#pragma once

#include "ffglex/FFGLGL.h"

#include <cstdint>

namespace ffglex
{
// The pieces of GL state a scope can hold, each set by one GL call:
//   Buffer        glBindBuffer(target, name)
//   Texture       glBindTexture(target, name), on the active unit
//   Program       glUseProgram(name)
//   TextureUnit   glActiveTexture(GL_TEXTURE0 + name)
//   VertexArray   glBindVertexArray(name)
//   Renderbuffer  glBindRenderbuffer(target, name)
//   Framebuffer   glBindFramebuffer(target, name)
// Name 0 is each one's default; for TextureUnit it is unit 0.
enum class BindingKind : std::uint8_t
{
	Buffer,
	Texture,
	Program,
	TextureUnit,
	VertexArray,
	Renderbuffer,
	Framebuffer
};

// The one implementation behind every scope object: binds name on target at
// construction and, when the scope ends, binds nameAtEnd (0 unless a caller
// saved what was bound before).
class ScopedBinding
{
public:
	ScopedBinding(BindingKind kind, GLenum target, GLuint name, GLuint nameAtEnd = 0);
	~ScopedBinding();
	ScopedBinding(const ScopedBinding&) = delete;
	ScopedBinding& operator=(const ScopedBinding&) = delete;
	ScopedBinding(ScopedBinding&&) = delete;
	ScopedBinding& operator=(ScopedBinding&&) = delete;

	void EndScope();

	// The single GL call that sets one piece of state.
	static void Bind(BindingKind kind, GLenum target, GLuint name);

private:
	BindingKind kind;
	bool isBound;
	GLenum target;
	GLuint nameAtEnd;
};

// glBindBuffer(target, buffer); ends with glBindBuffer(target, 0).
class ScopedBufferBinding : public ScopedBinding
{
public:
	ScopedBufferBinding(GLenum target, GLuint buffer);
	virtual ~ScopedBufferBinding() = default;
};

// GL_ARRAY_BUFFER.
class ScopedVBOBinding : public ScopedBufferBinding
{
public:
	explicit ScopedVBOBinding(GLuint buffer);
};

// GL_ELEMENT_ARRAY_BUFFER. Note that this binding is part of the bound vertex
// array's state.
class ScopedIBOBinding : public ScopedBufferBinding
{
public:
	explicit ScopedIBOBinding(GLuint buffer);
};

// GL_UNIFORM_BUFFER.
class ScopedUBOBinding : public ScopedBufferBinding
{
public:
	explicit ScopedUBOBinding(GLuint buffer);
};

// glBindTexture(target, texture) on the active unit; ends with
// glBindTexture(target, 0) on whatever unit is active then.
class ScopedTextureBinding : public ScopedBinding
{
public:
	ScopedTextureBinding(GLenum target, GLuint texture);
	virtual ~ScopedTextureBinding() = default;
};

// GL_TEXTURE_2D.
class Scoped2DTextureBinding : public ScopedTextureBinding
{
public:
	explicit Scoped2DTextureBinding(GLuint texture);
};

// glUseProgram(program); ends with glUseProgram(0).
class ScopedShaderBinding : public ScopedBinding
{
public:
	explicit ScopedShaderBinding(GLuint program);
};

// glActiveTexture(GL_TEXTURE0 + samplerIndex); ends with
// glActiveTexture(GL_TEXTURE0). Open it before the texture binding that belongs
// to the unit, and let it end after that binding.
class ScopedSamplerActivation : public ScopedBinding
{
public:
	explicit ScopedSamplerActivation(GLuint samplerIndex);
};

// glBindVertexArray(vertexArray); ends with glBindVertexArray(0).
class ScopedVAOBinding : public ScopedBinding
{
public:
	explicit ScopedVAOBinding(GLuint vertexArray);
};

// glBindRenderbuffer(GL_RENDERBUFFER, renderBuffer); ends with name 0.
class ScopedRenderBufferBinding : public ScopedBinding
{
public:
	explicit ScopedRenderBufferBinding(GLuint renderBuffer);
};

// Binds a framebuffer for both drawing and reading. At the end of the scope the
// draw and read bindings become 0 (UnbindOnEnd), or the names that were bound
// when the scope began (RestorePrevious): use RestorePrevious inside a host's
// frame, where the host's own framebuffer must stay bound. The draw and read
// bindings are two pieces of state, each with its own scope, so a host that
// draws to one framebuffer and reads from another gets both back.
class ScopedFBOBinding
{
public:
	enum RestoreBehaviour : std::uint32_t
	{
		UnbindOnEnd = 0,
		RestorePrevious = 1
	};

	ScopedFBOBinding(GLuint framebuffer, RestoreBehaviour restoreBehaviour);
	~ScopedFBOBinding();
	ScopedFBOBinding(const ScopedFBOBinding&) = delete;
	ScopedFBOBinding& operator=(const ScopedFBOBinding&) = delete;
	ScopedFBOBinding(ScopedFBOBinding&&) = delete;
	ScopedFBOBinding& operator=(ScopedFBOBinding&&) = delete;

	// Ends the draw binding, then the read binding.
	void EndScope();

private:
	ScopedBinding drawBinding;
	ScopedBinding readBinding;
};

} // namespace ffglex
