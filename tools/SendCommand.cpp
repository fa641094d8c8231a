#include "tools/SendCommand.h"

#include "tools/Command.h"
#include "tools/CommandLine.h"
#include "tools/run/RunOptions.h"
#include "watching/NextClipMessage.h"

#include <optional>
#include <ostream>

namespace ffgltool
{
namespace
{

const char kSendHelp[] =
	"usage: ffgl-host send --port P --layer N\n"
	"\n"
	"Sends the plug-ins' next-clip message for layer N (1 to 99) once, as one UDP\n"
	"datagram to 127.0.0.1:P (1 to 65535), exactly as the plug-ins send it: the\n"
	"host should move that layer on to its next clip. Use the port the plug-in's\n"
	"\"OSC Port\" shows (7000 by default) and the number its \"Layer\" shows.\n";

} // namespace

int RunSendCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	std::uint64_t port = 0;
	std::uint64_t layer = 0;
	CommandLine line("send", kSendHelp);
	line.Checked(
		"--port", "a UDP port from 1 to 65535",
		[&port](const std::string& value) { return ParseUnsigned(value, 65535, port) && port > 0; },
		CommandLine::Required);
	line.Checked(
		"--layer", "1 to 99",
		[&layer](const std::string& value) { return ParseUnsigned(value, 99, layer) && layer > 0; },
		CommandLine::Required);
	if (const std::optional<int> status = line.Read(args, out, err))
		return *status;
	const NextClipMessage message(static_cast<std::uint32_t>(layer));
	message.SendToLocalHost(static_cast<std::uint16_t>(port));
	out << "Sent /composition/layers/" << layer << "/connectnextclip ,i 1 to 127.0.0.1:" << port << " ("
		<< message.Size() << " bytes)\n";
	return kExitSuccess;
}

} // namespace ffgltool
