#include "ffglex/FFGLScopedBindings.h"

namespace ffglex
{
ScopedBinding::ScopedBinding(BindingKind kind, GLenum target, GLuint name, GLuint nameAtEnd) :
	kind(kind),
	isBound(true),
	target(target),
	nameAtEnd(nameAtEnd)
{
	Bind(kind, target, name);
}

ScopedBinding::~ScopedBinding()
{
	EndScope();
}

void ScopedBinding::EndScope()
{
	if (!isBound)
		return;
	Bind(kind, target, nameAtEnd);
	isBound = false;
}

void ScopedBinding::Bind(BindingKind kind, GLenum target, GLuint name)
{
	switch (kind)
	{
	case BindingKind::Buffer:
		glBindBuffer(target, name);
		return;
	case BindingKind::Texture:
		glBindTexture(target, name);
		return;
	case BindingKind::Program:
		glUseProgram(name);
		return;
	case BindingKind::TextureUnit:
		glActiveTexture(GL_TEXTURE0 + name);
		return;
	case BindingKind::VertexArray:
		glBindVertexArray(name);
		return;
	case BindingKind::Renderbuffer:
		glBindRenderbuffer(target, name);
		return;
	case BindingKind::Framebuffer:
		glBindFramebuffer(target, name);
		return;
	}
}

ScopedBufferBinding::ScopedBufferBinding(GLenum target, GLuint buffer) :
	ScopedBinding(BindingKind::Buffer, target, buffer)
{
}

ScopedVBOBinding::ScopedVBOBinding(GLuint buffer) : ScopedBufferBinding(GL_ARRAY_BUFFER, buffer)
{
}

ScopedIBOBinding::ScopedIBOBinding(GLuint buffer) : ScopedBufferBinding(GL_ELEMENT_ARRAY_BUFFER, buffer)
{
}

ScopedUBOBinding::ScopedUBOBinding(GLuint buffer) : ScopedBufferBinding(GL_UNIFORM_BUFFER, buffer)
{
}

ScopedTextureBinding::ScopedTextureBinding(GLenum target, GLuint texture) :
	ScopedBinding(BindingKind::Texture, target, texture)
{
}

Scoped2DTextureBinding::Scoped2DTextureBinding(GLuint texture) : ScopedTextureBinding(GL_TEXTURE_2D, texture)
{
}

ScopedShaderBinding::ScopedShaderBinding(GLuint program) : ScopedBinding(BindingKind::Program, 0, program)
{
}

ScopedSamplerActivation::ScopedSamplerActivation(GLuint samplerIndex) :
	ScopedBinding(BindingKind::TextureUnit, 0, samplerIndex)
{
}

ScopedVAOBinding::ScopedVAOBinding(GLuint vertexArray) : ScopedBinding(BindingKind::VertexArray, 0, vertexArray)
{
}

ScopedRenderBufferBinding::ScopedRenderBufferBinding(GLuint renderBuffer) :
	ScopedBinding(BindingKind::Renderbuffer, GL_RENDERBUFFER, renderBuffer)
{
}

namespace
{
// The framebuffer bound to a target now (queried with binding, e.g.
// GL_DRAW_FRAMEBUFFER_BINDING) when it is to be restored, otherwise 0.
GLuint FramebufferAtEnd(GLenum binding, ScopedFBOBinding::RestoreBehaviour restoreBehaviour)
{
	GLint name = 0;
	if (restoreBehaviour == ScopedFBOBinding::RestorePrevious)
		glGetIntegerv(binding, &name);
	return static_cast<GLuint>(name);
}
} // namespace

// The draw binding's previous name is saved before it is replaced; binding the
// draw target leaves the read target alone, so the read binding's previous name
// is still the host's when it is saved next.
ScopedFBOBinding::ScopedFBOBinding(GLuint framebuffer, RestoreBehaviour restoreBehaviour) :
	drawBinding(BindingKind::Framebuffer, GL_DRAW_FRAMEBUFFER, framebuffer,
		FramebufferAtEnd(GL_DRAW_FRAMEBUFFER_BINDING, restoreBehaviour)),
	readBinding(BindingKind::Framebuffer, GL_READ_FRAMEBUFFER, framebuffer,
		FramebufferAtEnd(GL_READ_FRAMEBUFFER_BINDING, restoreBehaviour))
{
}

ScopedFBOBinding::~ScopedFBOBinding()
{
	EndScope();
}

void ScopedFBOBinding::EndScope()
{
	drawBinding.EndScope();
	readBinding.EndScope();
}

} // namespace ffglex
