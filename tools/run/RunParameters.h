// RunParameters: a module's parameters as `ffgl-host run` addresses them, by
// name: read from the global codes, set from --set, and their display texts.
#pragma once

#include "tools/PluginModule.h"
#include "tools/run/RunOptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ffgltool
{

struct RunParameters
{
	std::vector<std::string> names;
	std::vector<std::uint32_t> types;

	// Codes 4, 5 and 15. Throws RunError (kExitModuleError) for an
	// implausible count or a name that cannot be read.
	static RunParameters Read(const PluginModule& module, const std::string& modulePath);

	// Code 8 for each setting: a text parameter takes the text, any other a
	// host-side slider value 0..1. Throws RunError: kExitUsage for an unknown
	// name or a bad value, kExitModuleError when the module refuses it.
	void Apply(const PluginModule& module, void* instance, const std::vector<Setting>& settings,
		const std::string& modulePath) const;

	// The display text of each (code 7); "" where it cannot be read.
	std::vector<std::string> Displays(const PluginModule& module, void* instance) const;
};

} // namespace ffgltool
