// ParamRange: a float (type standard) or whole-number (type integer) parameter
// with a range of its own. The host is told the range and the default in range
// units and sends values in those units; the value is stored unchanged, even
// outside the range.
#pragma once

#include "ffglqs/Param.h"

namespace ffglqs
{
class ParamRange final : public Param
{
public:
	struct Range
	{
		float min;
		float max;
	};

	static std::shared_ptr<ParamRange> Create(std::string name, float value, Range range);
	static std::shared_ptr<ParamRange> CreateInteger(std::string name, int value, Range range);

	Range GetRange() const;
	// The value brought from the range to 0..1 and clamped (NaN stays NaN). A
	// range whose min equals max has no width: its normalised value is always
	// 0, the bottom of 0..1.
	float GetNormalizedValue() const;

private:
	ParamRange(std::string name, unsigned int type, float value, Range range);

	Range range;
};

} // namespace ffglqs
