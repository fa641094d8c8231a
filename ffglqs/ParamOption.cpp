#include "ffglqs/ParamOption.h"

#include "host/FFGLRecords.h"

#include <cstddef>
#include <utility>

namespace ffglqs
{
std::shared_ptr<ParamOption> ParamOption::Create(std::string name, std::vector<Option> options)
{
	return Create(std::move(name), std::move(options), 0);
}

std::shared_ptr<ParamOption> ParamOption::Create(std::string name, std::vector<Option> options, int defaultOption)
{
	return std::shared_ptr<ParamOption>(new ParamOption(std::move(name), std::move(options), defaultOption));
}

ParamOption::ParamOption(std::string name, std::vector<Option> options, int defaultOption) :
	Param(std::move(name), FF_TYPE_OPTION, 0.0f),
	options(std::move(options))
{
	SetValue(static_cast<float>(defaultOption));
}

void ParamOption::SetValue(float v)
{
	if (options.empty())
	{
		value = 0.0f;
		currentOption.clear();
		realValue = 0.0f;
		return;
	}

	// The comparisons are written so that NaN fails them, and are made on the
	// float before any conversion: converting NaN, a value of -1 or below, or
	// one past the integer range to an unsigned index is undefined.
	std::size_t selected = 0;
	if (v > -1.0f && v < static_cast<float>(options.size()))
	{
		selected = static_cast<std::size_t>(v);
		// Counts above 2^24 round when converted to float, so the test above
		// can let through a value whose truncation is the count itself.
		if (selected >= options.size())
			selected = options.size() - 1;
		value = v;
	}
	else
	{
		value = 0.0f;
	}

	currentOption = options[selected].name;
	realValue = options[selected].value;
}

float ParamOption::GetRealValue() const
{
	return realValue;
}

bool ParamOption::IsCurrentOption(const std::string& name) const
{
	return currentOption == name;
}

const std::vector<ParamOption::Option>& ParamOption::GetOptions() const
{
	return options;
}

} // namespace ffglqs
