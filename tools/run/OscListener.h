// OscListener: what `ffgl-host run` hears of the OSC messages a module sends,
// on 127.0.0.1, one decoded line per datagram.
#pragma once

#include "support/UdpReceiver.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ffgltool
{

class OscListener
{
public:
	// Binds 127.0.0.1:port; throws RunError (kExitRunError) when the port is
	// held by another program or cannot be bound.
	// Listens on port. When it is taken, the error names a free port of the
	// plug-ins' range and the pair of options that moves both the plug-in's
	// "OSC Port" and the listener there: moving only the listener would leave
	// the plug-in sending to the busy port.
	explicit OscListener(int port);

	// Every datagram that has arrived, without waiting, as one text each:
	// "OSC <address ,tags args>", or "OSC datagram of N bytes not decoded:
	// <why>".
	std::vector<std::string> Drain();

	// The port that the parameter named "OSC Port" displays; nothing when the
	// module has none. Throws RunError (kExitModuleError) when the display is
	// no UDP port. names and displays are the module's parameters in order.
	static std::optional<int> DisplayedPort(
		const std::string& modulePath, const std::vector<std::string>& names, const std::vector<std::string>& displays);

private:
	UdpReceiver receiver;
};

} // namespace ffgltool
