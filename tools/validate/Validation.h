// Validation: what the checks of `ffgl-host validate` learn about a module as
// they go, and where they report. The module-level checks fill it in (type,
// input counts, parameters); the instance and frame checks read it.
#pragma once

#include "host/FFGLRecords.h"
#include "tools/PluginModule.h"
#include "tools/validate/ValidationReport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ffgltool::validate
{

// One parameter as the global codes (5, 6, 15, 41) describe it.
struct ParameterFacts
{
	std::uint32_t type = FF_FAIL;
	bool textLike = false;
	float defaultValue = 0.0f;
	std::string defaultText;
	float min = 0.0f;
	float max = 1.0f;
};

struct Validation
{
	Validation(PluginModule& module, ValidationReport& report) : module(module), report(report) {}

	PluginModule& module;
	ValidationReport& report;
	std::uint32_t pluginType = FF_EFFECT;
	std::uint32_t minInputs = 0;
	std::uint32_t maxInputs = 0;
	std::uint32_t count = 0;
	std::vector<ParameterFacts> parameters;
};

} // namespace ffgltool::validate
