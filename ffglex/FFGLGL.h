// The one header through which OpenGL declarations reach the project's code.
//
// Everything that issues GL calls includes this header and nothing else of GL,
// so the platform differences stay here:
// - Linux: the system's OpenGL library (GLVND's libOpenGL) exports every
//   core-profile function, so the prototypes are declared directly and the link
//   resolves them. The module links nothing of EGL or GLX: the host makes its
//   context current, whatever its windowing system is.
// - macOS: the OpenGL framework exports the 4.1 core profile through its own
//   header.
// - Windows: opengl32.dll exports only OpenGL 1.1, so every function is called
//   through a pointer that FFGLGLLoader resolves once a context is current
//   (see LoadGLFunctions; the dispatch asks for it before an instance's InitGL).
#pragma once

#if defined(_WIN32)
#include "ffglex/FFGLGLFunctions.h"
#elif defined(__APPLE__)
#ifndef GL_SILENCE_DEPRECATION
#define GL_SILENCE_DEPRECATION 1
#endif
#include <OpenGL/gl3.h>
#else
#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/glcorearb.h>
#endif

#include "ffglex/FFGLGLLoader.h"
