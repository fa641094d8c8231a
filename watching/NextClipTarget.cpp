#include "watching/NextClipTarget.h"

#include "watching/NextClipMessage.h"
#include "watching/Slider.h"

#include <cstdint>
#include <cstdio>

namespace
{
constexpr float kLayerSteps = 98.0f;  // layers 1..99
constexpr float kPortSteps = 3000.0f; // ports 6000..9000
constexpr int kFirstLayer = 1;
constexpr int kFirstPort = 6000;
} // namespace

void NextClipTarget::SetLayer(float value)
{
	layer = ClampUnit(value);
}

void NextClipTarget::SetOscPort(float value)
{
	oscPort = ClampUnit(value);
}

int NextClipTarget::LayerNumber() const
{
	return RoundHalfAwayFromZero(layer * kLayerSteps) + kFirstLayer;
}

int NextClipTarget::OscPortNumber() const
{
	return RoundHalfAwayFromZero(oscPort * kPortSteps) + kFirstPort;
}

void NextClipTarget::DisplayLayer(char* text, std::size_t size) const
{
	std::snprintf(text, size, "%d", LayerNumber());
}

void NextClipTarget::DisplayOscPort(char* text, std::size_t size) const
{
	std::snprintf(text, size, "%d", OscPortNumber());
}

void NextClipTarget::Send() const
{
	// Both numbers are in range: the raw values are clamped to 0..1 when set.
	const NextClipMessage message(static_cast<std::uint32_t>(LayerNumber()));
	message.SendToLocalHost(static_cast<std::uint16_t>(OscPortNumber()));
}
