// The one header through which OpenGL declarations reach the project's code.
//
// Everything that issues GL calls includes this header and nothing else of GL,
// so that a platform whose system library exports only old GL entry points can
// have its function loader slotted in here, in one place: on such a platform
// this is where the loader's header goes, and InitGLExts (exported by every
// module) is where it is asked to resolve the functions once a context is
// current.
//
// On Linux the core-profile functions are exported by the system's OpenGL
// library (GLVND's libOpenGL), so the prototypes are declared directly and the
// link resolves them. The module links nothing of EGL or GLX: the host makes its
// context current, whatever its windowing system is.
#pragma once

#if defined(_WIN32)
#error "No GL function loader has been set up for this platform yet."
#else
#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/glcorearb.h>
#endif
