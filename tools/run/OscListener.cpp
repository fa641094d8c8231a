#include "tools/run/OscListener.h"

#include "tools/Command.h"
#include "tools/run/OscMessage.h"
#include "tools/run/RunOptions.h"

namespace ffgltool
{

OscListener::OscListener(int port) : receiver(static_cast<std::uint16_t>(port))
{
	if (!receiver.IsOpen())
		throw RunError(
			kExitRunError, receiver.Error() + " (another program holds the port? choose one with --listen PORT)");
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
