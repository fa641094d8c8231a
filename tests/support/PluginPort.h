// PluginPort: a UDP port for a test that makes a plug-in send, from the range
// of its "OSC Port" slider (6000 to 9000). Other programs hold ports there (a
// VJ host usually 7000) and tests run side by side: the search starts at a
// random port and passes over every port that cannot be bound.
#pragma once

#include "support/UdpReceiver.h"

#include <memory>
#include <random>

// Bound on 127.0.0.1, so the port is the caller's while it lives (not open when
// none is free); a child process that binds it later may find it taken again.
inline std::unique_ptr<UdpReceiver> PluginPortReceiver()
{
	const int start = static_cast<int>(std::random_device()() % 3001);
	auto receiver = std::make_unique<UdpReceiver>(static_cast<std::uint16_t>(6000 + start));
	for (int step = 1; step <= 3000 && !receiver->IsOpen(); ++step)
		receiver = std::make_unique<UdpReceiver>(static_cast<std::uint16_t>(6000 + (start + step) % 3001));
	return receiver;
}

// The slider value that a plug-in rounds back to exactly this port.
inline float OscPortSlider(int port)
{
	return static_cast<float>(port - 6000) / 3000.0f;
}
