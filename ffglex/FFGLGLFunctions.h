// The GL functions of the Windows build, as pointers named like the functions.
//
// Windows' opengl32.dll exports only OpenGL 1.1, and a driver hands out the
// rest only while its context is current. Each function the project calls is
// a pointer here, and a macro gives the pointer the function's own name, so
// code written against the plain GL API compiles unchanged. A function used
// anywhere but missing from this list does not compile on Windows: add it to
// the list. The pointers are null until ffglex::LoadGLFunctions succeeds.
#pragma once

// glcorearb.h pulls in <windows.h> for APIENTRY; keep its min/max macros and
// rarely used parts out of every file that draws.
#ifndef NOMINMAX
#define NOMINMAX 1
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN 1
#endif
#include <GL/glcorearb.h>

// X(pointer type, GL function name), for every GL function the project calls.
#define FFGLEX_GL_FUNCTIONS(X) \
	X(PFNGLACTIVETEXTUREPROC, glActiveTexture) \
	X(PFNGLATTACHSHADERPROC, glAttachShader) \
	X(PFNGLBEGINTRANSFORMFEEDBACKPROC, glBeginTransformFeedback) \
	X(PFNGLBINDBUFFERPROC, glBindBuffer) \
	X(PFNGLBINDBUFFERBASEPROC, glBindBufferBase) \
	X(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer) \
	X(PFNGLBINDRENDERBUFFERPROC, glBindRenderbuffer) \
	X(PFNGLBINDTEXTUREPROC, glBindTexture) \
	X(PFNGLBINDVERTEXARRAYPROC, glBindVertexArray) \
	X(PFNGLBUFFERDATAPROC, glBufferData) \
	X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus) \
	X(PFNGLCLIENTWAITSYNCPROC, glClientWaitSync) \
	X(PFNGLCOLORMASKPROC, glColorMask) \
	X(PFNGLCOMPILESHADERPROC, glCompileShader) \
	X(PFNGLCREATEPROGRAMPROC, glCreateProgram) \
	X(PFNGLCREATESHADERPROC, glCreateShader) \
	X(PFNGLDELETEBUFFERSPROC, glDeleteBuffers) \
	X(PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers) \
	X(PFNGLDELETEPROGRAMPROC, glDeleteProgram) \
	X(PFNGLDELETERENDERBUFFERSPROC, glDeleteRenderbuffers) \
	X(PFNGLDELETESHADERPROC, glDeleteShader) \
	X(PFNGLDELETESYNCPROC, glDeleteSync) \
	X(PFNGLDELETETEXTURESPROC, glDeleteTextures) \
	X(PFNGLDELETEVERTEXARRAYSPROC, glDeleteVertexArrays) \
	X(PFNGLDISABLEPROC, glDisable) \
	X(PFNGLDRAWARRAYSPROC, glDrawArrays) \
	X(PFNGLENABLEPROC, glEnable) \
	X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray) \
	X(PFNGLENDTRANSFORMFEEDBACKPROC, glEndTransformFeedback) \
	X(PFNGLFENCESYNCPROC, glFenceSync) \
	X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, glFramebufferRenderbuffer) \
	X(PFNGLFRAMEBUFFERTEXTURE2DPROC, glFramebufferTexture2D) \
	X(PFNGLGENBUFFERSPROC, glGenBuffers) \
	X(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers) \
	X(PFNGLGENRENDERBUFFERSPROC, glGenRenderbuffers) \
	X(PFNGLGENTEXTURESPROC, glGenTextures) \
	X(PFNGLGENVERTEXARRAYSPROC, glGenVertexArrays) \
	X(PFNGLGETBOOLEANVPROC, glGetBooleanv) \
	X(PFNGLGETINTEGERVPROC, glGetIntegerv) \
	X(PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog) \
	X(PFNGLGETPROGRAMIVPROC, glGetProgramiv) \
	X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog) \
	X(PFNGLGETSHADERIVPROC, glGetShaderiv) \
	X(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation) \
	X(PFNGLISENABLEDPROC, glIsEnabled) \
	X(PFNGLLINKPROGRAMPROC, glLinkProgram) \
	X(PFNGLMAPBUFFERRANGEPROC, glMapBufferRange) \
	X(PFNGLPIXELSTOREIPROC, glPixelStorei) \
	X(PFNGLREADPIXELSPROC, glReadPixels) \
	X(PFNGLRENDERBUFFERSTORAGEPROC, glRenderbufferStorage) \
	X(PFNGLSHADERSOURCEPROC, glShaderSource) \
	X(PFNGLTEXIMAGE2DPROC, glTexImage2D) \
	X(PFNGLTEXPARAMETERIPROC, glTexParameteri) \
	X(PFNGLTRANSFORMFEEDBACKVARYINGSPROC, glTransformFeedbackVaryings) \
	X(PFNGLUNIFORM1FPROC, glUniform1f) \
	X(PFNGLUNIFORM1IPROC, glUniform1i) \
	X(PFNGLUNIFORM2FPROC, glUniform2f) \
	X(PFNGLUNIFORM2IPROC, glUniform2i) \
	X(PFNGLUNIFORM3FPROC, glUniform3f) \
	X(PFNGLUNIFORM4FPROC, glUniform4f) \
	X(PFNGLUNMAPBUFFERPROC, glUnmapBuffer) \
	X(PFNGLUSEPROGRAMPROC, glUseProgram) \
	X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer) \
	X(PFNGLVIEWPORTPROC, glViewport)

namespace ffglex::gl
{
#define FFGLEX_DECLARE_GL_POINTER(Type, name) extern Type name;
FFGLEX_GL_FUNCTIONS(FFGLEX_DECLARE_GL_POINTER)
#undef FFGLEX_DECLARE_GL_POINTER
} // namespace ffglex::gl

#define glActiveTexture ::ffglex::gl::glActiveTexture
#define glAttachShader ::ffglex::gl::glAttachShader
#define glBeginTransformFeedback ::ffglex::gl::glBeginTransformFeedback
#define glBindBuffer ::ffglex::gl::glBindBuffer
#define glBindBufferBase ::ffglex::gl::glBindBufferBase
#define glBindFramebuffer ::ffglex::gl::glBindFramebuffer
#define glBindRenderbuffer ::ffglex::gl::glBindRenderbuffer
#define glBindTexture ::ffglex::gl::glBindTexture
#define glBindVertexArray ::ffglex::gl::glBindVertexArray
#define glBufferData ::ffglex::gl::glBufferData
#define glCheckFramebufferStatus ::ffglex::gl::glCheckFramebufferStatus
#define glClientWaitSync ::ffglex::gl::glClientWaitSync
#define glColorMask ::ffglex::gl::glColorMask
#define glCompileShader ::ffglex::gl::glCompileShader
#define glCreateProgram ::ffglex::gl::glCreateProgram
#define glCreateShader ::ffglex::gl::glCreateShader
#define glDeleteBuffers ::ffglex::gl::glDeleteBuffers
#define glDeleteFramebuffers ::ffglex::gl::glDeleteFramebuffers
#define glDeleteProgram ::ffglex::gl::glDeleteProgram
#define glDeleteRenderbuffers ::ffglex::gl::glDeleteRenderbuffers
#define glDeleteShader ::ffglex::gl::glDeleteShader
#define glDeleteSync ::ffglex::gl::glDeleteSync
#define glDeleteTextures ::ffglex::gl::glDeleteTextures
#define glDeleteVertexArrays ::ffglex::gl::glDeleteVertexArrays
#define glDisable ::ffglex::gl::glDisable
#define glDrawArrays ::ffglex::gl::glDrawArrays
#define glEnable ::ffglex::gl::glEnable
#define glEnableVertexAttribArray ::ffglex::gl::glEnableVertexAttribArray
#define glEndTransformFeedback ::ffglex::gl::glEndTransformFeedback
#define glFenceSync ::ffglex::gl::glFenceSync
#define glFramebufferRenderbuffer ::ffglex::gl::glFramebufferRenderbuffer
#define glFramebufferTexture2D ::ffglex::gl::glFramebufferTexture2D
#define glGenBuffers ::ffglex::gl::glGenBuffers
#define glGenFramebuffers ::ffglex::gl::glGenFramebuffers
#define glGenRenderbuffers ::ffglex::gl::glGenRenderbuffers
#define glGenTextures ::ffglex::gl::glGenTextures
#define glGenVertexArrays ::ffglex::gl::glGenVertexArrays
#define glGetBooleanv ::ffglex::gl::glGetBooleanv
#define glGetIntegerv ::ffglex::gl::glGetIntegerv
#define glGetProgramInfoLog ::ffglex::gl::glGetProgramInfoLog
#define glGetProgramiv ::ffglex::gl::glGetProgramiv
#define glGetShaderInfoLog ::ffglex::gl::glGetShaderInfoLog
#define glGetShaderiv ::ffglex::gl::glGetShaderiv
#define glGetUniformLocation ::ffglex::gl::glGetUniformLocation
#define glIsEnabled ::ffglex::gl::glIsEnabled
#define glLinkProgram ::ffglex::gl::glLinkProgram
#define glMapBufferRange ::ffglex::gl::glMapBufferRange
#define glPixelStorei ::ffglex::gl::glPixelStorei
#define glReadPixels ::ffglex::gl::glReadPixels
#define glRenderbufferStorage ::ffglex::gl::glRenderbufferStorage
#define glShaderSource ::ffglex::gl::glShaderSource
#define glTexImage2D ::ffglex::gl::glTexImage2D
#define glTexParameteri ::ffglex::gl::glTexParameteri
#define glTransformFeedbackVaryings ::ffglex::gl::glTransformFeedbackVaryings
#define glUniform1f ::ffglex::gl::glUniform1f
#define glUniform1i ::ffglex::gl::glUniform1i
#define glUniform2f ::ffglex::gl::glUniform2f
#define glUniform2i ::ffglex::gl::glUniform2i
#define glUniform3f ::ffglex::gl::glUniform3f
#define glUniform4f ::ffglex::gl::glUniform4f
#define glUnmapBuffer ::ffglex::gl::glUnmapBuffer
#define glUseProgram ::ffglex::gl::glUseProgram
#define glVertexAttribPointer ::ffglex::gl::glVertexAttribPointer
#define glViewport ::ffglex::gl::glViewport
