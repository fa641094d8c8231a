#include "tools/run/OscListener.h"

#include "tools/Command.h"
#include "tools/run/OscMessage.h"
#include "tools/run/RunOptions.h"

#include <cstdio>

namespace ffgltool
{

namespace
{

// A port of 6000..9000 that can be listened on, searched upwards from port;
// 0 when none is free.
int FreePluginPort(int port)
{
	const int base = ((port - 6000) % 3001 + 3001) % 3001;
	for (int offset = 1; offset <= 3000; ++offset)
	{
		const int candidate = 6000 + (base + offset) % 3001;
		if (UdpReceiver(static_cast<std::uint16_t>(candidate)).IsOpen())
			return candidate;
	}
	return 0;
}

} // namespace

OscListener::OscListener(int port) : receiver(static_cast<std::uint16_t>(port))
{
	if (receiver.IsOpen())
		return;
	const int free = FreePluginPort(port);
	std::string hint = " (another program holds the port?";
	if (free != 0)
	{
		char slider[16];
		std::snprintf(slider, sizeof slider, "%.6f", (free - 6000) / 3000.0);
		hint += " the plug-in sends to the port its \"OSC Port\" shows, so move both to a free one: --set \"OSC Port=" +
			std::string(slider) + "\" --listen " + std::to_string(free);
	}
	throw RunError(kExitRunError, receiver.Error() + hint + ")");
}

std::vector<std::string> OscListener::Drain()
{
	std::vector<std::string> texts;
	for (const std::vector<std::uint8_t>& datagram : receiver.Drain())
	{
		OscMessage message;
		std::string error;
		if (DecodeOscMessage(datagram.data(), datagram.size(), message, error))
			texts.push_back("OSC " + FormatOscMessage(message));
		else
			texts.push_back("OSC datagram of " + std::to_string(datagram.size()) + " byte" +
				(datagram.size() == 1 ? "" : "s") + " not decoded: " + error);
	}
	return texts;
}

std::optional<int> OscListener::DisplayedPort(
	const std::string& modulePath, const std::vector<std::string>& names, const std::vector<std::string>& displays)
{
	for (std::size_t i = 0; i < names.size(); ++i)
	{
		if (names[i] != "OSC Port")
			continue;
		std::uint64_t port = 0;
		if (!ParseUnsigned(displays[i], 65535, port) || port == 0)
			throw RunError(kExitModuleError,
				modulePath + ": the \"OSC Port\" parameter displays '" + displays[i] +
					"', which is no UDP port; choose one with --listen PORT");
		return static_cast<int>(port);
	}
	return std::nullopt;
}

} // namespace ffgltool
