#include "guard/AddSubtract.h"

#include "ffglex/FFGLScopedBindings.h"
#include "guard/NextClipMessage.h"
#include "guard/ScopedPixelPackDefaults.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

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

std::int64_t SteadyClockNs()
{
	const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
	return std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count();
}

// later - earlier in seconds, single precision. The difference saturates
// instead of overflowing: the readings come from the steady clock, but a bad
// one must not be undefined behaviour.
float SecondsBetween(std::int64_t earlier, std::int64_t later)
{
	constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
	constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
	std::int64_t difference;
	if (earlier > 0 && later < kMin + earlier)
		difference = kMin;
	else if (earlier < 0 && later > kMax + earlier)
		difference = kMax;
	else
		difference = later - earlier;
	return static_cast<float>(difference) / 1e9f;
}

// The part of a texture axis that holds picture. A texture size of 0 is a
// malformed record: the whole texture is taken, rather than handing the shader
// an infinite or NaN coordinate.
float PictureFraction(std::uint32_t picture, std::uint32_t texture)
{
	return texture != 0 ? static_cast<float>(picture) / static_cast<float>(texture) : 1.0f;
}

// The sampling grid: the same five fractions on both axes.
constexpr float kGridFractions[5] = { 0.1f, 0.3f, 0.5f, 0.7f, 0.9f };

// Rec. 709 luma weights.
constexpr float kLumaRed = 0.2126f;
constexpr float kLumaGreen = 0.7152f;
constexpr float kLumaBlue = 0.0722f;

// The distance from the first to the last pixel of an axis, or 1 for an axis
// of fewer than two pixels, so that every fraction lands on pixel 0.
float GridScale(std::uint32_t pixels)
{
	return pixels >= 2 ? static_cast<float>(pixels - 1) : 1.0f;
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

	// Compile and Initialise do not free what an earlier InitGL made; a host
	// that initialises twice without DeInitGL must not leak it.
	shader.FreeGLResources();
	quad.Release();

	if (!shader.Compile(vertexShader, fragmentShader) || !quad.Initialise(false))
	{
		DeInitGL();
		return FF_FAIL;
	}
	currentViewport = *vp;
	return FF_SUCCESS;
}

unsigned int AddSubtract::DeInitGL()
{
	shader.FreeGLResources();
	quad.Release();
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

unsigned int AddSubtract::ProcessOpenGL(ProcessOpenGLStructTag* record)
{
	if (record == nullptr || record->numInputTextures == 0 || record->inputTextures == nullptr ||
		record->inputTextures[0] == nullptr)
		return FF_FAIL;
	const FFGLTextureStructTag& input = *record->inputTextures[0];

	{
		ffglex::ScopedShaderBinding shaderBinding(shader.GetGLID());
		ffglex::ScopedSamplerActivation unit0(0);
		ffglex::Scoped2DTextureBinding textureBinding(input.Handle);
		shader.Set("InputTexture", 0);
		// Hosts may hand a texture larger than the picture (power-of-two sizes):
		// only the picture's part of it is sampled.
		shader.Set("MaxUV", PictureFraction(input.Width, input.HardwareWidth),
			PictureFraction(input.Height, input.HardwareHeight));
		quad.Draw();
	}

	const std::int64_t now = SteadyClockNs();
	AdvanceTiming(FrameIsBlack(), now);
	return FF_SUCCESS;
}

bool AddSubtract::FrameIsBlack() const
{
	const float xScale = GridScale(viewport.width);
	const float yScale = GridScale(viewport.height);
	ScopedPixelPackDefaults packDefaults;

	float brightest = 0.0f;
	for (float fy : kGridFractions)
	{
		// Truncation toward zero; the products are below 2^32, so they fit.
		const auto y = static_cast<GLint>(viewport.y + static_cast<std::uint32_t>(fy * yScale));
		for (float fx : kGridFractions)
		{
			const auto x = static_cast<GLint>(viewport.x + static_cast<std::uint32_t>(fx * xScale));
			// White, so that a read the GL refuses, which leaves the buffer as it
			// was, can never make a live picture count as black.
			std::uint8_t pixel[4] = { 255, 255, 255, 255 };
			glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
			const float luma = (kLumaRed * pixel[0] + kLumaGreen * pixel[1] + kLumaBlue * pixel[2]) / 255.0f;
			if (brightest < luma)
				brightest = luma;
		}
	}
	return brightest <= blackThreshold;
}

void AddSubtract::AdvanceTiming(bool frameIsBlack, std::int64_t nowNs)
{
	if (frameIsBlack)
	{
		clearTimingStarted = false;
		if (!blackTimingStarted)
		{
			blackStart = nowNs;
			blackTimingStarted = true;
		}
		// Only an armed run is timed against the hold: one message per run.
		if (armed && SecondsBetween(blackStart, nowNs) >= blackHold)
		{
			SendNextClip();
			armed = false;
		}
	}
	else
	{
		blackTimingStarted = false;
		if (!clearTimingStarted)
		{
			clearStart = nowNs;
			clearTimingStarted = true;
		}
		if (SecondsBetween(clearStart, nowNs) >= recovery)
			armed = true;
	}
}

void AddSubtract::SendNextClip() const
{
	// Both numbers are in range: the raw values are clamped to 0..1 when set.
	const NextClipMessage message(static_cast<std::uint32_t>(LayerNumber()));
	message.SendToLocalHost(static_cast<std::uint16_t>(OscPortNumber()));
}

int AddSubtract::LayerNumber() const
{
	return RoundHalfAwayFromZero(layer * kLayerSteps) + kFirstLayer;
}

int AddSubtract::OscPortNumber() const
{
	return RoundHalfAwayFromZero(oscPort * kPortSteps) + kFirstPort;
}
