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
// glBindBuffer(target, buffer); ends with glBindBuffer(target, 0).
class ScopedBufferBinding
{
public:
	ScopedBufferBinding(GLenum target, GLuint buffer);
	virtual ~ScopedBufferBinding();
	ScopedBufferBinding(const ScopedBufferBinding&) = delete;
	ScopedBufferBinding& operator=(const ScopedBufferBinding&) = delete;
	ScopedBufferBinding(ScopedBufferBinding&&) = delete;
	ScopedBufferBinding& operator=(ScopedBufferBinding&&) = delete;

	void EndScope();

private:
	GLenum target;
	bool isBound;
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
class ScopedTextureBinding
{
public:
	ScopedTextureBinding(GLenum target, GLuint texture);
	virtual ~ScopedTextureBinding();
	ScopedTextureBinding(const ScopedTextureBinding&) = delete;
	ScopedTextureBinding& operator=(const ScopedTextureBinding&) = delete;
	ScopedTextureBinding(ScopedTextureBinding&&) = delete;
	ScopedTextureBinding& operator=(ScopedTextureBinding&&) = delete;

	void EndScope();

private:
	GLenum target;
	bool isBound;
};

// GL_TEXTURE_2D.
class Scoped2DTextureBinding : public ScopedTextureBinding
{
public:
	explicit Scoped2DTextureBinding(GLuint texture);
};

// glUseProgram(program); ends with glUseProgram(0).
class ScopedShaderBinding
{
public:
	explicit ScopedShaderBinding(GLuint program);
	~ScopedShaderBinding();
	ScopedShaderBinding(const ScopedShaderBinding&) = delete;
	ScopedShaderBinding& operator=(const ScopedShaderBinding&) = delete;
	ScopedShaderBinding(ScopedShaderBinding&&) = delete;
	ScopedShaderBinding& operator=(ScopedShaderBinding&&) = delete;

	void EndScope();

private:
	bool isBound;
};

// glActiveTexture(GL_TEXTURE0 + samplerIndex); ends with
// glActiveTexture(GL_TEXTURE0). Open it before the texture binding that belongs
// to the unit, and let it end after that binding.
class ScopedSamplerActivation
{
public:
	explicit ScopedSamplerActivation(GLuint samplerIndex);
	~ScopedSamplerActivation();
	ScopedSamplerActivation(const ScopedSamplerActivation&) = delete;
	ScopedSamplerActivation& operator=(const ScopedSamplerActivation&) = delete;
	ScopedSamplerActivation(ScopedSamplerActivation&&) = delete;
	ScopedSamplerActivation& operator=(ScopedSamplerActivation&&) = delete;

	void EndScope();

private:
	bool isBound;
};

// glBindVertexArray(vertexArray); ends with glBindVertexArray(0).
class ScopedVAOBinding
{
public:
	explicit ScopedVAOBinding(GLuint vertexArray);
	~ScopedVAOBinding();
	ScopedVAOBinding(const ScopedVAOBinding&) = delete;
	ScopedVAOBinding& operator=(const ScopedVAOBinding&) = delete;
	ScopedVAOBinding(ScopedVAOBinding&&) = delete;
	ScopedVAOBinding& operator=(ScopedVAOBinding&&) = delete;

	void EndScope();

private:
	bool isBound;
};

// glBindRenderbuffer(GL_RENDERBUFFER, renderBuffer); ends with name 0.
class ScopedRenderBufferBinding
{
public:
	explicit ScopedRenderBufferBinding(GLuint renderBuffer);
	~ScopedRenderBufferBinding();
	ScopedRenderBufferBinding(const ScopedRenderBufferBinding&) = delete;
	ScopedRenderBufferBinding& operator=(const ScopedRenderBufferBinding&) = delete;
	ScopedRenderBufferBinding(ScopedRenderBufferBinding&&) = delete;
	ScopedRenderBufferBinding& operator=(ScopedRenderBufferBinding&&) = delete;

	void EndScope();

private:
	bool isBound;
};

// Binds a framebuffer for both drawing and reading (GL_FRAMEBUFFER). At the end
// of the scope the draw and read bindings become 0 (UnbindOnEnd), or the names
// that were bound when the scope began (RestorePrevious): use RestorePrevious
// inside a host's frame, where the host's own framebuffer must stay bound.
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

	void EndScope();

private:
	bool isBound;
	RestoreBehaviour restoreBehaviour;
	GLint previousDrawFramebuffer;
	GLint previousReadFramebuffer;
};

} // namespace ffglex
