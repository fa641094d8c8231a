#include "tools/validate/ModuleAnswers.h"

#include "tools/ModuleMemory.h"
#include "tools/ReportText.h"

#include <cmath>
#include <vector>

namespace ffgltool::validate
{

bool ReadModuleText(const char* text, std::size_t maxLength, const std::string& what, Findings& findings,
	std::string& read, bool nullIsFailure)
{
	const TextRead result = SafeReadText(text, maxLength, read);
	if (result != TextRead::Ok && (result != TextRead::Null || nullIsFailure))
		findings.Fail(what + " " + TextReadProblem(result, maxLength));
	return result == TextRead::Ok;
}

void CheckHostBufferWrite(Findings& findings, const std::string& what,
	const std::function<std::uint32_t(char* buffer, std::uint32_t size)>& write)
{
	for (std::uint32_t size : { 0u, 1u, 4u, 64u })
	{
		std::vector<char> buffer(size + 16, static_cast<char>(kCanary));
		const std::uint32_t result = write(buffer.data(), size);
		if (result != FF_SUCCESS && result != FF_FAIL)
			findings.Fail(what + " answered " + HexWord(result) + " with maxToWrite " + std::to_string(size));
		for (std::size_t b = size; b < buffer.size(); ++b)
			if (buffer[b] != static_cast<char>(kCanary))
			{
				findings.Fail(what + " wrote past maxToWrite " + std::to_string(size));
				break;
			}
	}
}

FFMixed NullArgument()
{
	FFMixed argument;
	argument.PointerValue = nullptr;
	return argument;
}

bool IsUnitParamType(std::uint32_t type)
{
	switch (type)
	{
	case FF_TYPE_STANDARD:
	case FF_TYPE_RED:
	case FF_TYPE_GREEN:
	case FF_TYPE_BLUE:
	case FF_TYPE_HUE:
	case FF_TYPE_SATURATION:
	case FF_TYPE_BRIGHTNESS:
	case FF_TYPE_ALPHA:
		return true;
	default:
		return false;
	}
}

bool SameFloat(float a, float b, float tolerance)
{
	if (std::isnan(a) || std::isnan(b))
		return std::isnan(a) && std::isnan(b);
	return std::fabs(a - b) <= tolerance;
}

} // namespace ffgltool::validate
