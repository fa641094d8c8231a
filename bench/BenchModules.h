// BenchModules: what both benchmarks set up before they run and take down
// after: the headless GL context and the two watching modules (the black
// guard, the Watch), loaded from --module=PATH and --watch-module=PATH or
// else from this build, and initialised; the renderer and the module paths go
// into the report's context. Google Benchmark reads the remaining arguments.
#pragma once

#include "support/HeadlessGL.h"
#include "tools/PluginModule.h"

#include <functional>
#include <memory>

namespace bench
{

struct BenchModules
{
	std::unique_ptr<HeadlessGL> gl;
	ffgltool::PluginModule modules[2]; // the black guard, the Watch
};

// Sets up `out` for the benchmark `name`; ownOption takes each argument that
// neither the module options nor Google Benchmark know, and answers whether
// it was one of the benchmark's own. The exit status to end with, after a
// message on standard error, or -1 to go on.
int SetUp(const char* name, int argc, char** argv, const std::function<bool(const char*)>& ownOption,
	BenchModules& out);

// Deinitialises the modules, releases the context, then unloads the modules.
void TearDown(BenchModules& bench);

} // namespace bench
