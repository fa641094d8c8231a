#include "ffglqs/ParamRange.h"

#include "ffglex/FFGLUtilities.h"
#include "host/FFGLRecords.h"

#include <utility>

namespace ffglqs
{
std::shared_ptr<ParamRange> ParamRange::Create(std::string name, float value, Range range)
{
	return std::shared_ptr<ParamRange>(new ParamRange(std::move(name), FF_TYPE_STANDARD, value, range));
}

std::shared_ptr<ParamRange> ParamRange::CreateInteger(std::string name, int value, Range range)
{
	return std::shared_ptr<ParamRange>(
		new ParamRange(std::move(name), FF_TYPE_INTEGER, static_cast<float>(value), range));
}

ParamRange::ParamRange(std::string name, unsigned int type, float value, Range range) :
	Param(std::move(name), type, value),
	range(range)
{
}

ParamRange::Range ParamRange::GetRange() const
{
	return range;
}

float ParamRange::GetNormalizedValue() const
{
	// map divides by the width of the range: 0 / 0 would give NaN.
	if (range.max == range.min)
		return 0.0f;
	return ffglex::map(value, range.min, range.max, 0.0f, 1.0f);
}

} // namespace ffglqs
