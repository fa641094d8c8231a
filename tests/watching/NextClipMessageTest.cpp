// The next-clip message as it leaves the plug-in: byte for byte on a UDP
// socket bound on 127.0.0.1, and once as an independent OSC implementation
// (oscdump) reads it.
#include "watching/NextClipMessage.h"
#include "tests/support/PluginPort.h"
#include "watching/NextClipTarget.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

namespace
{
std::string Datagram(const std::string& layer, std::size_t nuls)
{
	std::string bytes = "/composition/layers/" + layer + "/connectnextclip" + std::string(nuls, '\0');
	bytes.append(",i\0\0", 4);
	bytes.append("\0\0\0\x01", 4);
	return bytes;
}

TEST(NextClipMessageTest, SentByteForByteToThePortTheSliderShows)
{
	const std::unique_ptr<UdpReceiver> receiver = PluginPortReceiver();
	ASSERT_TRUE(receiver->IsOpen()) << receiver->Error();
	const std::pair<float, std::string> cases[] = {
		{ 0.0f, Datagram("1", 3) },
		{ 9.0f / 98.0f, Datagram("10", 2) },
	};
	for (const auto& [layerSlider, expected] : cases)
	{
		NextClipTarget target;
		target.SetLayer(layerSlider);
		target.SetOscPort(OscPortSlider(receiver->Port()));
		target.Send();
		const auto datagram = receiver->Receive(2000);
		ASSERT_TRUE(datagram.has_value()) << "nothing arrived for layer slider " << layerSlider;
		EXPECT_EQ(std::string(datagram->begin(), datagram->end()), expected);
		EXPECT_TRUE(receiver->Drain().empty());
	}
	// An address of a multiple of 4 bytes still ends with NULs; any 32-bit layer
	// number fits the fixed buffer.
	EXPECT_EQ(NextClipMessage(1000).Size(), 52u);
	EXPECT_EQ(NextClipMessage(4294967295u).Size(), 56u);
}

// oscdump listens for a second; the message goes out every 50 ms until it
// prints. It binds its port itself: when another process took the port first,
// it tries another.
TEST(NextClipMessageTest, OscDumpReadsIt)
{
	const NextClipMessage message(99);
	std::string line = "liblo server error"; // how oscdump begins when it cannot bind
	for (int attempt = 0; attempt < 5 && line.rfind("liblo server error", 0) == 0; ++attempt)
	{
		const int port = PluginPortReceiver()->Port(); // let go for oscdump
		std::FILE* dump = ::popen(("timeout 1 oscdump -L " + std::to_string(port) + " 2>&1").c_str(), "r");
		ASSERT_NE(dump, nullptr);
		pollfd printed{ ::fileno(dump), POLLIN, 0 };
		while (::poll(&printed, 1, 50) == 0)
			message.SendToLocalHost(static_cast<std::uint16_t>(port));
		char text[256] = {};
		line = std::fgets(text, sizeof text, dump) != nullptr ? text : "";
		::pclose(dump);
	}
	if (line.empty() && std::getenv("CI") == nullptr)
		GTEST_SKIP() << "oscdump (liblo-tools) printed nothing: is it installed?";
	EXPECT_NE(line.find("/composition/layers/99/connectnextclip i 1"), std::string::npos) << line;
}
} // namespace
