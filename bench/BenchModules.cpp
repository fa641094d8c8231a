#include "bench/BenchModules.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace bench
{

int SetUp(const char* name, int argc, char** argv, const std::function<bool(const char*)>& ownOption,
	BenchModules& out)
{
	std::string paths[2] = { GUARD_MODULE_PATH, WATCH_MODULE_PATH };
	std::vector<char*> args;
	for (int i = 0; i < argc; ++i)
	{
		if (std::strncmp(argv[i], "--module=", 9) == 0)
			paths[0] = argv[i] + 9;
		else if (std::strncmp(argv[i], "--watch-module=", 15) == 0)
			paths[1] = argv[i] + 15;
		else if (i == 0 || !ownOption(argv[i]))
			args.push_back(argv[i]);
	}
	int count = static_cast<int>(args.size());
	benchmark::Initialize(&count, args.data());
	if (benchmark::ReportUnrecognizedArguments(count, args.data()))
		return 2;

	std::string error;
	out.gl = HeadlessGL::Create(&error);
	if (!out.gl)
	{
		std::fprintf(stderr, "%s: no headless OpenGL 4.1 context: %s\n", name, error.c_str());
		return 1;
	}
	for (int i = 0; i < 2; ++i)
	{
		if (!out.modules[i].Load(paths[i], error))
		{
			std::fprintf(stderr, "%s: %s\n", name, error.c_str());
			return 1;
		}
		out.modules[i].Initialise();
	}
	benchmark::AddCustomContext("renderer", out.gl->Renderer());
	benchmark::AddCustomContext("modules", paths[0] + " " + paths[1]);
	return -1;
}

void TearDown(BenchModules& bench)
{
	for (ffgltool::PluginModule& module : bench.modules)
		module.DeInitialise();
	bench.gl.reset();
	for (ffgltool::PluginModule& module : bench.modules)
		module.Unload();
}

} // namespace bench
