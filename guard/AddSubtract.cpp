#include "guard/AddSubtract.h"

#include <cmath>
#include <cstdio>

namespace
{
enum ParamIndex : unsigned int
{
	PT_BLACK_THRESHOLD = 0,
	PT_BLACK_HOLD = 1,
	PT_RECOVERY = 2,
	PT_LAYER = 3,
	PT_OSC_PORT = 4,
	PT_COUNT = 5,
};

const char* const kParamNames[PT_COUNT] = { "Black Threshold", "Black Hold", "Recovery", "Layer", "OSC Port" };

// Stored defaults of threshold, hold, recovery and layer, in working units.
constexpr float kDefaults[4] = { 0.035f, 1.0f, 0.5f, 0.0f };
// The raw slider value that shows port 7000.
constexpr float kDefaultOscPort = 0.333333f;

constexpr float kMaxThreshold = 0.25f;
constexpr float kMaxHoldSeconds = 10.0f;
constexpr float kMaxRecoverySeconds = 5.0f;
constexpr float kLayerSteps = 98.0f;  // layers 1..99
constexpr float kPortSteps = 3000.0f; // ports 6000..9000
constexpr int kFirstLayer = 1;
constexpr int kFirstPort = 6000;

// fmin answers the other operand for a NaN, so NaN is taken as 1.
float ClampUnit(float value)
{
	return std::fmax(std::fmin(value, 1.0f), 0.0f);
}

// Halves away from zero; the inputs are bounded, so the result fits.
int RoundHalfAwayFromZero(float value)
{
	return static_cast<int>(std::lround(value));
}
} // namespace

AddSubtract::AddSubtract() :
	CFFGLPlugin(false),
	blackThreshold(kDefaults[0]),
	blackHold(kDefaults[1]),
	recovery(kDefaults[2]),
	layer(kDefaults[3]),
	oscPort(kDefaultOscPort)
{
	SetMinInputs(1);
	SetMaxInputs(1);
	// The registry keeps the host-side form of each stored default, which is
	// what every new instance is given back through SetFloatParameter.
	for (unsigned int index = 0; index < PT_COUNT; ++index)
		SetParamInfo(index, kParamNames[index], FF_TYPE_STANDARD, GetFloatParameter(index));
}

AddSubtract::~AddSubtract() = default;

unsigned int AddSubtract::InitGL(const FFGLViewportStructTag* vp)
{
	if (vp == nullptr)
		return FF_FAIL;
	viewport = *vp;
	currentViewport = *vp;
	return FF_SUCCESS;
}

unsigned int AddSubtract::DeInitGL()
{
	return FF_SUCCESS;
}

char* AddSubtract::GetParameterDisplay(unsigned int index)
{
	switch (index)
	{
	case PT_BLACK_THRESHOLD:
		std::snprintf(displayText, sizeof(displayText), "%.1f%%", static_cast<double>(blackThreshold * 100.0f));
		break;
	case PT_BLACK_HOLD:
		std::snprintf(displayText, sizeof(displayText), "%.2f s", static_cast<double>(blackHold));
		break;
	case PT_RECOVERY:
		std::snprintf(displayText, sizeof(displayText), "%.2f s", static_cast<double>(recovery));
		break;
	case PT_LAYER:
		std::snprintf(displayText, sizeof(displayText), "%d", LayerNumber());
		break;
	case PT_OSC_PORT:
		std::snprintf(displayText, sizeof(displayText), "%d", OscPortNumber());
		break;
	default:
		displayText[0] = '\0';
		break;
	}
	return displayText;
}

unsigned int AddSubtract::SetFloatParameter(unsigned int index, float value)
{
	const float v = ClampUnit(value);
	switch (index)
	{
	case PT_BLACK_THRESHOLD:
		blackThreshold = v * kMaxThreshold;
		return FF_SUCCESS;
	case PT_BLACK_HOLD:
		blackHold = v * kMaxHoldSeconds;
		return FF_SUCCESS;
	case PT_RECOVERY:
		recovery = v * kMaxRecoverySeconds;
		return FF_SUCCESS;
	case PT_LAYER:
		layer = v;
		return FF_SUCCESS;
	case PT_OSC_PORT:
		oscPort = v;
		return FF_SUCCESS;
	default:
		return FF_FAIL;
	}
}

float AddSubtract::GetFloatParameter(unsigned int index)
{
	switch (index)
	{
	case PT_BLACK_THRESHOLD:
		return blackThreshold * 4.0f;
	case PT_BLACK_HOLD:
		return blackHold / kMaxHoldSeconds;
	case PT_RECOVERY:
		return recovery / kMaxRecoverySeconds;
	case PT_LAYER:
		return layer;
	case PT_OSC_PORT:
		return oscPort;
	default:
		return 0.0f;
	}
}

unsigned int AddSubtract::ProcessOpenGL(ProcessOpenGLStructTag*)
{
	// Frames are refused until the pass-through drawing and detection exist.
	return FF_FAIL;
}

int AddSubtract::LayerNumber() const
{
	return RoundHalfAwayFromZero(layer * kLayerSteps) + kFirstLayer;
}

int AddSubtract::OscPortNumber() const
{
	return RoundHalfAwayFromZero(oscPort * kPortSteps) + kFirstPort;
}
