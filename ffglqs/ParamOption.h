// ParamOption: a choice among named options (type option).
//
// The host sees the choices by name with the element values 0, 1, 2, ... and
// sends one of those numbers; the number selects the current option, whose own
// value is then available as the real value.
#pragma once

#include "ffglqs/Param.h"

#include <vector>

namespace ffglqs
{
class ParamOption final : public Param
{
public:
	struct Option
	{
		std::string name;
		float value = 0.0f;
	};

	// Takes over the options and selects the default option (0 when not given)
	// through SetValue.
	static std::shared_ptr<ParamOption> Create(std::string name, std::vector<Option> options);
	static std::shared_ptr<ParamOption> Create(std::string name, std::vector<Option> options, int defaultOption);

	// v truncated toward zero selects option i and is stored as it is (1.7
	// selects option 1 and stays 1.7). A value that selects no option (i at or
	// beyond the option count, -1 or below, NaN) stores 0.0 and selects the
	// first option. With no options at all the value is 0.0 and no option is
	// current: the current name is empty and the real value 0.0.
	void SetValue(float v) override;

	float GetRealValue() const;
	// True when the current option's name equals name exactly.
	bool IsCurrentOption(const std::string& name) const;
	const std::vector<Option>& GetOptions() const;

private:
	ParamOption(std::string name, std::vector<Option> options, int defaultOption);

	std::vector<Option> options;
	std::string currentOption;
	float realValue = 0.0f;
};

} // namespace ffglqs
