// Making the GL functions callable in the host's context.
//
// Only Windows needs this: there, functions beyond OpenGL 1.1 exist only as
// addresses that the driver hands out while one of its contexts is current.
// Elsewhere the system library exports them and this is a no-op.
#pragma once

namespace ffglex
{
#if defined(_WIN32)
// Resolves every GL function the project calls, in the context current on the
// calling thread. Returns true once all of them were found; the addresses are
// then kept for the life of the module (one driver serves all of a host's
// contexts). When one is missing it returns false, logs the first missing name
// and resolves afresh on the next call. Safe to call from several threads.
bool LoadGLFunctions();
#else
inline bool LoadGLFunctions()
{
	return true;
}
#endif
} // namespace ffglex
