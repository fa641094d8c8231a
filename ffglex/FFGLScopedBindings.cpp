#include "ffglex/FFGLScopedBindings.h"

namespace ffglex
{
ScopedBufferBinding::ScopedBufferBinding(GLenum target, GLuint buffer) : target(target), isBound(true)
{
	glBindBuffer(target, buffer);
}

ScopedBufferBinding::~ScopedBufferBinding()
{
	EndScope();
}

void ScopedBufferBinding::EndScope()
{
	if (!isBound)
		return;
	glBindBuffer(target, 0);
	isBound = false;
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

ScopedTextureBinding::ScopedTextureBinding(GLenum target, GLuint texture) : target(target), isBound(true)
{
	glBindTexture(target, texture);
}

ScopedTextureBinding::~ScopedTextureBinding()
{
	EndScope();
}

void ScopedTextureBinding::EndScope()
{
	if (!isBound)
		return;
	glBindTexture(target, 0);
	isBound = false;
}

Scoped2DTextureBinding::Scoped2DTextureBinding(GLuint texture) : ScopedTextureBinding(GL_TEXTURE_2D, texture)
{
}

ScopedShaderBinding::ScopedShaderBinding(GLuint program) : isBound(true)
{
	glUseProgram(program);
}

ScopedShaderBinding::~ScopedShaderBinding()
{
	EndScope();
}

void ScopedShaderBinding::EndScope()
{
	if (!isBound)
		return;
	glUseProgram(0);
	isBound = false;
}

ScopedSamplerActivation::ScopedSamplerActivation(GLuint samplerIndex) : isBound(true)
{
	glActiveTexture(GL_TEXTURE0 + samplerIndex);
}

ScopedSamplerActivation::~ScopedSamplerActivation()
{
	EndScope();
}

void ScopedSamplerActivation::EndScope()
{
	if (!isBound)
		return;
	glActiveTexture(GL_TEXTURE0);
	isBound = false;
}

ScopedVAOBinding::ScopedVAOBinding(GLuint vertexArray) : isBound(true)
{
	glBindVertexArray(vertexArray);
}

ScopedVAOBinding::~ScopedVAOBinding()
{
	EndScope();
}

void ScopedVAOBinding::EndScope()
{
	if (!isBound)
		return;
	glBindVertexArray(0);
	isBound = false;
}

ScopedRenderBufferBinding::ScopedRenderBufferBinding(GLuint renderBuffer) : isBound(true)
{
	glBindRenderbuffer(GL_RENDERBUFFER, renderBuffer);
}

ScopedRenderBufferBinding::~ScopedRenderBufferBinding()
{
	EndScope();
}

void ScopedRenderBufferBinding::EndScope()
{
	if (!isBound)
		return;
	glBindRenderbuffer(GL_RENDERBUFFER, 0);
	isBound = false;
}

ScopedFBOBinding::ScopedFBOBinding(GLuint framebuffer, RestoreBehaviour restoreBehaviour) :
	isBound(true),
	restoreBehaviour(restoreBehaviour),
	previousDrawFramebuffer(0),
	previousReadFramebuffer(0)
{
	if (restoreBehaviour == RestorePrevious)
	{
		glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDrawFramebuffer);
		glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousReadFramebuffer);
	}
	glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}

ScopedFBOBinding::~ScopedFBOBinding()
{
	EndScope();
}

void ScopedFBOBinding::EndScope()
{
	if (!isBound)
		return;
	if (restoreBehaviour == RestorePrevious)
	{
		glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previousDrawFramebuffer));
		glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousReadFramebuffer));
	}
	else
	{
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
	}
	isBound = false;
}

} // namespace ffglex
