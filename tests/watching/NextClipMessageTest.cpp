// The next-clip message as it leaves the plug-in: byte for byte on a UDP
// socket bound on 127.0.0.1, and once as an independent OSC implementation
// (oscdump) reads it.
#include "watching/NextClipMessage.h"
#include "support/UdpReceiver.h"
#include "watching/NextClipTarget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace
{
std::string Datagram(const std::string& layer, std::size_t nuls)
{
	std::string bytes = "/composition/layers/" + layer + "/connectnextclip" + std::string(nuls, '\0');
	bytes.append(",i\0\0", 4);
	bytes.append("\0\0\0\x01", 4);
	return bytes;
}

TEST(NextClipMessageTest, SentByteForByteToTheChosenPort)
{
	struct Case
	{
		float layerSlider;
		float portSlider;
		int port;
		std::string expected;
	};
	const Case cases[] = {
		{ 0.0f, NextClipTarget::kDefaultOscPort, 7000, Datagram("1", 3) },
		{ 1.0f, 1.0f, 9000, Datagram("99", 2) },
		{ 9.0f / 98.0f, 0.0f, 6000, Datagram("10", 2) },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.port);
		UdpReceiver receiver(static_cast<std::uint16_t>(c.port));
		ASSERT_TRUE(receiver.IsOpen()) << receiver.Error();
		NextClipTarget target;
		target.SetLayer(c.layerSlider);
		target.SetOscPort(c.portSlider);
		target.Send();
		const auto datagram = receiver.Receive(2000);
		ASSERT_TRUE(datagram.has_value()) << "nothing arrived";
		EXPECT_EQ(std::string(datagram->begin(), datagram->end()), c.expected);
		EXPECT_TRUE(receiver.Drain().empty());
	}
	// An address of a multiple of 4 bytes still ends with NULs; any 32-bit layer
	// number fits the fixed buffer.
	EXPECT_EQ(NextClipMessage(1000).Size(), 52u);
	EXPECT_EQ(NextClipMessage(4294967295u).Size(), 56u);
}

// oscdump listens for a second while the message goes out every 50 ms.
TEST(NextClipMessageTest, OscDumpReadsIt)
{
	std::FILE* dump = ::popen("timeout 1 oscdump -L 7393 2>&1", "r");
	ASSERT_NE(dump, nullptr);
	const NextClipMessage message(99);
	std::atomic<bool> done{ false };
	std::thread sender(
		[&]
		{
			for (; !done; std::this_thread::sleep_for(std::chrono::milliseconds(50)))
				message.SendToLocalHost(7393);
		});
	char line[256] = {};
	const bool printed = std::fgets(line, sizeof line, dump) != nullptr;
	done = true;
	sender.join();
	::pclose(dump);
	if (!printed && std::getenv("CI") == nullptr)
		GTEST_SKIP() << "oscdump (liblo-tools) printed nothing: is it installed?";
	EXPECT_NE(std::string(line).find("/composition/layers/99/connectnextclip i 1"), std::string::npos) << line;
}
} // namespace
