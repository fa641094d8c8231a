// RunHost: the host side of one `ffgl-host run`: the headless context, the
// output framebuffer, the input texture and the module's instance.
//
// The destructor releases them in the right order whichever way the run ends:
// the instance (code 19) and the GL objects while the context is current, the
// context, then code 2 when the module was initialised. A second fault of a
// module that already failed is not reported.
#pragma once

#include "support/HeadlessGL.h"
#include "tools/PluginModule.h"

#include <memory>

namespace ffgltool
{

class RunHost
{
public:
	explicit RunHost(PluginModule& module) : module(module) {}
	~RunHost();
	RunHost(const RunHost&) = delete;
	RunHost& operator=(const RunHost&) = delete;

	PluginModule& module;
	std::unique_ptr<HeadlessGL> gl;
	HeadlessGL::Framebuffer output;
	GLuint inputTexture = 0;
	bool initialised = false;
	void* instance = nullptr;
};

} // namespace ffgltool
