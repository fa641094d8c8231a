// SmoothValue: a one-pole smoother. Each sample moves the value towards it by
// (1 - smoothness); the smoothing works per call, so its time constant depends
// on how often it is fed (once per frame in the framework).
#pragma once

namespace ffglqs
{
class SmoothValue
{
public:
	// 0 follows every sample, 1 freezes the value; no range is enforced.
	void SetSmoothness(float s);
	// value = (1 - smoothness) * x + smoothness * value, as one fused
	// multiply-add onto smoothness * value.
	void Update(float x);
	float GetValue() const;

private:
	float smoothness = 0.8f;
	float value = 0.0f;
};

} // namespace ffglqs
