#include "guard/GuardParameters.h"

#include "guard/Slider.h"

#include <cstdio>

namespace
{
const char* const kNames[GuardParameters::kCount] = { "Black Threshold", "Black Hold", "Recovery", "Layer",
	"OSC Port" };

// Stored defaults of threshold, hold, recovery and layer, in working units.
constexpr float kDefaults[4] = { GuardParameters::kDefaultBlackThreshold, 1.0f, 0.5f, 0.0f };

constexpr float kMaxHoldSeconds = 10.0f;
constexpr float kMaxRecoverySeconds = 5.0f;
} // namespace

const char* GuardParameters::Name(unsigned int index)
{
	return index < kCount ? kNames[index] : nullptr;
}

float GuardParameters::ThresholdFromSlider(float value)
{
	return ClampUnit(value) * kMaxBlackThreshold;
}

float GuardParameters::SliderFromThreshold(float threshold)
{
	return threshold * 4.0f;
}

GuardParameters::GuardParameters() : blackThreshold(kDefaults[0]), blackHold(kDefaults[1]), recovery(kDefaults[2])
{
	target.SetLayer(kDefaults[3]);
}

bool GuardParameters::Set(unsigned int index, float value)
{
	const float v = ClampUnit(value);
	switch (index)
	{
	case kBlackThreshold:
		blackThreshold = ThresholdFromSlider(v);
		return true;
	case kBlackHold:
		blackHold = v * kMaxHoldSeconds;
		return true;
	case kRecovery:
		recovery = v * kMaxRecoverySeconds;
		return true;
	case kLayer:
		target.SetLayer(v);
		return true;
	case kOscPort:
		target.SetOscPort(v);
		return true;
	default:
		return false;
	}
}

float GuardParameters::Get(unsigned int index) const
{
	switch (index)
	{
	case kBlackThreshold:
		return SliderFromThreshold(blackThreshold);
	case kBlackHold:
		return blackHold / kMaxHoldSeconds;
	case kRecovery:
		return recovery / kMaxRecoverySeconds;
	case kLayer:
		return target.Layer();
	case kOscPort:
		return target.OscPort();
	default:
		return 0.0f;
	}
}

void GuardParameters::Display(unsigned int index, char* text, std::size_t size) const
{
	switch (index)
	{
	case kBlackThreshold:
		std::snprintf(text, size, "%.1f%%", static_cast<double>(blackThreshold * 100.0f));
		break;
	case kBlackHold:
		std::snprintf(text, size, "%.2f s", static_cast<double>(blackHold));
		break;
	case kRecovery:
		std::snprintf(text, size, "%.2f s", static_cast<double>(recovery));
		break;
	case kLayer:
		target.DisplayLayer(text, size);
		break;
	case kOscPort:
		target.DisplayOscPort(text, size);
		break;
	default:
		if (size > 0)
			text[0] = '\0';
		break;
	}
}
