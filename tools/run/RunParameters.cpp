#include "tools/run/RunParameters.h"

#include "tools/Command.h"
#include "tools/ModuleMemory.h"

#include <optional>

namespace ffgltool
{
namespace
{

constexpr std::size_t kMaxTextLength = 1024;

// A text the module handed out, or nothing when it is null, unreadable or
// unterminated.
std::optional<std::string> ModuleText(const char* text)
{
	std::string read;
	if (SafeReadText(text, kMaxTextLength, read) != TextRead::Ok)
		return std::nullopt;
	return read;
}

} // namespace

RunParameters RunParameters::Read(const PluginModule& module, const std::string& modulePath)
{
	RunParameters parameters;
	const std::uint32_t count = module.GetNumParameters();
	if (count == FF_FAIL || count > 4096)
		throw RunError(kExitModuleError, modulePath + ": the module gives no plausible parameter count (code 4)");
	for (std::uint32_t i = 0; i < count; ++i)
	{
		const std::optional<std::string> name = ModuleText(module.GetParameterName(i));
		if (!name)
			throw RunError(
				kExitModuleError, modulePath + ": parameter " + std::to_string(i) + " has no readable name (code 5)");
		parameters.names.push_back(*name);
		parameters.types.push_back(module.GetParameterType(i));
	}
	return parameters;
}

void RunParameters::Apply(const PluginModule& module, void* instance, const std::vector<Setting>& settings,
	const std::string& modulePath) const
{
	for (const Setting& setting : settings)
	{
		std::size_t index = 0;
		while (index < names.size() && names[index] != setting.name)
			++index;
		if (index == names.size())
		{
			std::string known;
			for (const std::string& name : names)
				known += (known.empty() ? "" : ", ") + ("\"" + name + "\"");
			throw RunError(kExitUsage,
				"unknown parameter \"" + setting.name + "\"; the module has " +
					(known.empty() ? std::string("none") : known));
		}
		const auto number = static_cast<std::uint32_t>(index);
		std::uint32_t result = FF_FAIL;
		if (IsTextLikeParamType(types[index]))
			result = module.SetTextParameter(instance, number, setting.value.c_str());
		else
		{
			double value = 0.0;
			if (!ParseReal(setting.value, value) || value < 0.0 || value > 1.0)
				throw RunError(kExitUsage,
					"the value of \"" + setting.name + "\" is a host-side slider value from 0 to 1, not '" +
						setting.value + "'");
			result = module.SetFloatParameter(instance, number, static_cast<float>(value));
		}
		if (result == FF_FAIL)
			throw RunError(kExitModuleError,
				modulePath + ": the module refused \"" + setting.name + "=" + setting.value +
					"\" (code 8 answered FF_FAIL)");
	}
}

std::vector<std::string> RunParameters::Displays(const PluginModule& module, void* instance) const
{
	std::vector<std::string> displays;
	for (std::uint32_t i = 0; i < names.size(); ++i)
		displays.push_back(ModuleText(module.GetParameterDisplay(instance, i)).value_or(""));
	return displays;
}

} // namespace ffgltool
