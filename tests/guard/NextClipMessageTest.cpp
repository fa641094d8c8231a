// The next-clip message as it leaves the plug-in: byte for byte on a UDP
// socket bound on 127.0.0.1, and once as an independent OSC implementation
// (oscdump) reads it.
#include "guard/NextClipMessage.h"
#include "guard/NextClipTarget.h"
#include "support/UdpReceiver.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

extern char** environ;

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
	// Any 32-bit layer number fits the fixed buffer.
	EXPECT_EQ(NextClipMessage(4294967295u).Size(), 56u);
}

// oscdump as a child process, its standard output and errors read through a
// pipe. Ended with SIGTERM when the test is done.
class OscDump
{
public:
	explicit OscDump(int port)
	{
		int fds[2];
		if (::pipe2(fds, O_CLOEXEC) != 0)
			return;
		posix_spawn_file_actions_t actions;
		posix_spawn_file_actions_init(&actions);
		posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
		posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
		std::string portText = std::to_string(port);
		char* argv[] = { const_cast<char*>("oscdump"), const_cast<char*>("-L"), portText.data(), nullptr };
		spawnError = posix_spawnp(&pid, "oscdump", &actions, nullptr, argv, environ);
		posix_spawn_file_actions_destroy(&actions);
		::close(fds[1]);
		readFd = fds[0];
		if (spawnError != 0)
			pid = -1;
	}
	~OscDump()
	{
		if (pid > 0 && ::kill(pid, SIGTERM) == 0)
			::waitpid(pid, nullptr, 0);
		if (readFd >= 0)
			::close(readFd);
	}

	bool Started() const { return pid > 0; }
	int SpawnError() const { return spawnError; }

	// Everything printed so far, waiting at most timeoutMs for more.
	const std::string& Output(int timeoutMs)
	{
		pollfd waitFor{ readFd, POLLIN, 0 };
		char buffer[512];
		if (readFd >= 0 && ::poll(&waitFor, 1, timeoutMs) > 0)
			output.append(
				buffer, static_cast<std::size_t>(std::max<ssize_t>(::read(readFd, buffer, sizeof(buffer)), 0)));
		return output;
	}

private:
	pid_t pid = -1;
	int readFd = -1;
	int spawnError = ENOENT;
	std::string output;
};

TEST(NextClipMessageTest, OscDumpReadsIt)
{
	constexpr int kPort = 7393;
	OscDump dump(kPort);
	if (!dump.Started())
	{
		const std::string why = std::string("oscdump (liblo-tools) cannot be run: ") + std::strerror(dump.SpawnError());
		const char* ci = std::getenv("CI");
		if (ci != nullptr && std::string(ci) == "true")
			FAIL() << why;
		GTEST_SKIP() << why;
	}

	NextClipTarget target;
	target.SetLayer(1.0f);
	target.SetOscPort((kPort - 6000) / 3000.0f);
	// oscdump may not be listening yet: send until it prints a line.
	const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
	while (dump.Output(0).find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline)
	{
		target.Send();
		dump.Output(100);
	}
	const std::string& output = dump.Output(0);
	EXPECT_NE(output.substr(0, output.find('\n')).find("/composition/layers/99/connectnextclip i 1"), std::string::npos)
		<< "oscdump printed: " << output;
}
} // namespace
