// The marker for the few symbols a host looks up by name in a plug-in module.
//
// Everything else is built with hidden visibility, so two plug-ins loaded into
// one host process never bind to each other's code. Exported functions have C
// linkage: hosts built with any compiler find them by their plain names.
#pragma once

#if defined(_WIN32)
#define FFGL_EXPORT extern "C" __declspec(dllexport)
#else
#define FFGL_EXPORT extern "C" __attribute__((visibility("default")))
#endif
