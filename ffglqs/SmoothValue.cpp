#include "ffglqs/SmoothValue.h"

#include <cmath>

namespace ffglqs
{
void SmoothValue::SetSmoothness(float s)
{
	smoothness = s;
}

void SmoothValue::Update(float x)
{
	value = std::fma(1.0f - smoothness, x, smoothness * value);
}

float SmoothValue::GetValue() const
{
	return value;
}

} // namespace ffglqs
