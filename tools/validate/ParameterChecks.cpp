#include "tools/validate/ParameterChecks.h"

#include "tools/ModuleMemory.h"
#include "tools/ReportText.h"
#include "tools/validate/ModuleAnswers.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>

namespace ffgltool::validate
{
namespace
{

constexpr std::uint32_t kMaxElements = 4096;
constexpr unsigned int kMaxParametersChecked = 4096;

bool IsKnownParamType(std::uint32_t type)
{
	switch (type)
	{
	case FF_TYPE_BOOLEAN:
	case FF_TYPE_EVENT:
	case FF_TYPE_OPTION:
	case FF_TYPE_BUFFER:
	case FF_TYPE_INTEGER:
	case FF_TYPE_FILE:
	case FF_TYPE_TEXT:
		return true;
	default:
		return IsUnitParamType(type);
	}
}

} // namespace

bool CheckParameterCount(Validation& validation)
{
	Findings findings;
	validation.count = validation.module.GetNumParameters();
	if (validation.count == FF_FAIL)
		findings.Fail("code 4 answered FF_FAIL");
	else if (validation.count > kMaxParametersChecked)
		findings.Fail("code 4 claims " + std::to_string(validation.count) + " parameters, more than " +
			std::to_string(kMaxParametersChecked) + " is not plausible");
	validation.report.Add("parameter-count", findings, std::to_string(validation.count) + " parameters");
	return !findings.Failed();
}

void CheckParameterDefinitions(Validation& validation)
{
	Findings findings;
	validation.parameters.assign(validation.count, ParameterFacts{});
	std::set<std::string> names;
	for (std::uint32_t i = 0; i < validation.count; ++i)
	{
		const std::string what = "parameter " + std::to_string(i);
		ParameterFacts& facts = validation.parameters[i];

		std::string name;
		if (ReadModuleText(validation.module.GetParameterName(i), kMaxNameLength, "the name of " + what + " (code 5)",
				findings, name))
		{
			if (name.empty())
				findings.Warn(what + " has an empty name");
			else if (!names.insert(name).second)
				findings.Warn(what + " repeats the name \"" + Printable(name) + "\"");
		}

		facts.type = validation.module.GetParameterType(i);
		facts.textLike = IsTextLikeParamType(facts.type);
		if (!IsKnownParamType(facts.type))
			findings.Fail(what + " has the type " + HexWord(facts.type) + " (code 15), which is no parameter type");

		const FFMixed defaultValue = validation.module.GetParameterDefault(i);
		if (facts.textLike)
			ReadModuleText(static_cast<const char*>(defaultValue.PointerValue), kMaxLongTextLength,
				"the default text of " + what + " (code 6)", findings, facts.defaultText);
		else
		{
			facts.defaultValue = PluginModule::FloatFromBits(defaultValue.UIntValue);
			if (defaultValue.UIntValue == FF_FAIL)
				findings.Fail("the default of " + what + " (code 6) is FF_FAIL");
			else if (!std::isfinite(facts.defaultValue))
				findings.Fail("the default of " + what + " (code 6) is " + RealText(facts.defaultValue));
			else if (facts.type == FF_TYPE_STANDARD && (facts.defaultValue < 0.0f || facts.defaultValue > 1.0f))
				findings.Fail("the default " + RealText(facts.defaultValue) + " of the standard slider " + what +
					" lies outside 0..1");
			else if (facts.type == FF_TYPE_BOOLEAN && facts.defaultValue != 0.0f && facts.defaultValue != 1.0f)
				findings.Warn("the boolean " + what + " defaults to " + RealText(facts.defaultValue));
		}

		if (validation.module.GetParamRange(i, facts.min, facts.max) != FF_SUCCESS)
			findings.Fail("code 41 refused the range of " + what);
		else if (!std::isfinite(facts.min) || !std::isfinite(facts.max) || facts.min > facts.max)
			findings.Fail("the range of " + what + " is " + RealText(facts.min) + ".." + RealText(facts.max));
		else if (!facts.textLike && facts.type != FF_TYPE_BUFFER && std::isfinite(facts.defaultValue) &&
			(facts.defaultValue < facts.min || facts.defaultValue > facts.max))
			findings.Warn("the default " + RealText(facts.defaultValue) + " of " + what + " lies outside its range " +
				RealText(facts.min) + ".." + RealText(facts.max));

		const std::uint32_t usage = validation.module.GetParameterUsage(i);
		if (usage != FF_USAGE_STANDARD && usage != FF_USAGE_FFT)
			findings.Fail("the usage of " + what + " (code 32) is " + HexWord(usage));
		else if (usage == FF_USAGE_FFT && facts.type != FF_TYPE_BUFFER)
			findings.Warn(what + " has FFT usage but is no buffer parameter");

		const std::uint32_t visibility = validation.module.GetParameterVisibility(i);
		if (visibility != 0 && visibility != 1)
			findings.Fail("the visibility of " + what + " (code 45) is " + HexWord(visibility));

		CheckHostBufferWrite(findings, what + " group (code 50)",
			[&validation, i](char* buffer, std::uint32_t size)
			{ return validation.module.GetParamGroup(i, buffer, size); });

		const std::uint32_t extensions = validation.module.GetNumFileParameterExtensions(i);
		if (extensions == FF_FAIL || extensions > 1024)
			findings.Fail("code 43 answers " + HexWord(extensions) + " file extensions for " + what);
		else
			for (std::uint32_t e = 0; e < extensions; ++e)
			{
				std::string extension;
				ReadModuleText(validation.module.GetFileParameterExtension(i, e), kMaxNameLength,
					"file extension " + std::to_string(e) + " of " + what + " (code 44)", findings, extension);
			}
	}
	validation.report.Add("parameter-definitions", findings,
		std::to_string(validation.count) +
			" parameters: names, types, defaults, ranges, usage, visibility, groups consistent");
}

void CheckParameterElements(Validation& validation)
{
	Findings findings;
	for (std::uint32_t i = 0; i < validation.count; ++i)
	{
		const std::string what = "parameter " + std::to_string(i);
		const std::uint32_t elements = validation.module.GetNumParameterElements(i);
		if (elements == FF_FAIL)
		{
			findings.Fail("code 31 answers FF_FAIL for the registered " + what);
			continue;
		}
		if (elements > kMaxElements)
		{
			findings.Fail(what + " claims " + std::to_string(elements) + " elements (code 31)");
			continue;
		}
		if (validation.parameters[i].type == FF_TYPE_OPTION && elements == 0)
			findings.Fail("the option " + what + " has no elements to choose from");
		for (std::uint32_t e = 0; e < elements; ++e)
		{
			const std::string element = "element " + std::to_string(e) + " of " + what;
			std::string name;
			ReadModuleText(validation.module.GetParameterElementName(i, e), kMaxNameLength,
				"the name of " + element + " (code 35)", findings, name,
				validation.parameters[i].type == FF_TYPE_OPTION);
			if (validation.module.GetParameterElementValue(i, e) == FF_FAIL)
				findings.Fail("code 36 answers FF_FAIL for " + element);
		}
		if (validation.module.GetParameterElementName(i, elements) != nullptr)
			findings.Fail(
				"code 35 names element " + std::to_string(elements) + " of " + what + ", past its element count");
		if (validation.module.GetParameterElementValue(i, elements) != FF_FAIL)
			findings.Fail("code 36 gives a value for element " + std::to_string(elements) + " of " + what +
				", past its element count");

		const std::uint32_t separators = validation.module.GetNumElementSeparators(i);
		if (separators > kMaxElements)
			findings.Fail(what + " claims " + std::to_string(separators) + " element separators (code 47)");
		else
		{
			for (std::uint32_t s = 0; s < separators; ++s)
				if (validation.module.GetElementSeparatorElementIndex(i, s) == FF_FAIL)
					findings.Fail("code 48 answers FF_FAIL for separator " + std::to_string(s) + " of " + what);
			if (validation.module.GetElementSeparatorElementIndex(i, separators) != FF_FAIL)
				findings.Fail("code 48 answers for separator " + std::to_string(separators) + " of " + what +
					", past its separator count");
		}
	}
	validation.report.Add("parameter-elements", findings, "element counts, names and values consistent");
}

// Past the count the module must not answer as if a parameter were there.
void CheckUnregisteredParameter(Validation& validation)
{
	Findings findings;
	for (std::uint32_t index : { validation.count, validation.count + 1, std::numeric_limits<std::uint32_t>::max() })
	{
		if (index < validation.count)
			continue; // wrapped around
		const std::string what = "parameter " + std::to_string(index);
		if (validation.module.GetParameterName(index) != nullptr)
			findings.Fail("code 5 names " + what + ", past the count of " + std::to_string(validation.count));
		if (validation.module.GetParameterType(index) != FF_FAIL)
			findings.Fail("code 15 gives a type for " + what + ", past the count");
		if (validation.module.GetParameterDefault(index).UIntValue != FF_FAIL)
			findings.Fail("code 6 gives a default for " + what + ", past the count");
		if (validation.module.GetNumParameterElements(index) != FF_FAIL)
			findings.Fail("code 31 gives an element count for " + what + ", past the count");
		if (validation.module.GetParameterUsage(index) != FF_FAIL)
			findings.Fail("code 32 gives a usage for " + what + ", past the count");
		if (validation.module.GetParameterVisibility(index) != FF_FAIL)
			findings.Fail("code 45 gives a visibility for " + what + ", past the count");
	}
	validation.report.Add(
		"unregistered-parameter", findings, "codes 5, 6, 15, 31, 32 and 45 refuse numbers past the count");
}

} // namespace ffgltool::validate
