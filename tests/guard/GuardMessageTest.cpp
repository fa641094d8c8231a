// The next-clip message as it leaves the module: a black frame through
// plugMain with a hold of 0 s sends it, and it is checked byte for byte on a
// UDP socket bound on 127.0.0.1, and once by an independent OSC implementation
// (oscdump).
#include "tests/guard/GuardModuleFixture.h"
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
#include <vector>

extern char** environ;

namespace
{
class GuardMessageTest : public GuardModuleFixture
{
protected:
	void SetUp() override
	{
		GuardModuleFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		black = MakeRGBA8Texture(kOutputWidth, kOutputHeight, Uniform(kOutputWidth, kOutputHeight, { 0, 0, 0, 255 }));
		grey =
			MakeRGBA8Texture(kOutputWidth, kOutputHeight, Uniform(kOutputWidth, kOutputHeight, { 128, 128, 128, 255 }));
	}
	void TearDown() override
	{
		const GLuint textures[2] = { black, grey };
		if (black != 0)
			glDeleteTextures(2, textures);
		GuardModuleFixture::TearDown();
	}

	GLuint black = 0;
	GLuint grey = 0;
};

std::string Datagram(const std::string& address, std::size_t nuls)
{
	std::string bytes = address + std::string(nuls, '\0');
	bytes.append(",i\0\0", 4);
	bytes.append("\0\0\0\x01", 4);
	return bytes;
}

TEST_F(GuardMessageTest, DatagramByteForByte)
{
	constexpr float kUnset = -1.0f;
	struct Case
	{
		const char* what;
		float layerSlider;
		float portSlider;
		int port;
		std::string expected;
	};
	const Case cases[] = {
		{ "defaults", kUnset, kUnset, 7000, Datagram("/composition/layers/1/connectnextclip", 3) },
		{ "layer 99", 1.0f, kUnset, 7000, Datagram("/composition/layers/99/connectnextclip", 2) },
		{ "layer 50", 0.5f, kUnset, 7000, Datagram("/composition/layers/50/connectnextclip", 2) },
		{ "port 6000", kUnset, 0.0f, 6000, Datagram("/composition/layers/1/connectnextclip", 3) },
		{ "port 9000", kUnset, 1.0f, 9000, Datagram("/composition/layers/1/connectnextclip", 3) },
		// 0.25 x 98 = 24.5 exactly: away from zero gives 25, so layer 26.
		{ "layer half-way", 0.25f, kUnset, 7000, Datagram("/composition/layers/26/connectnextclip", 2) },
		// 0.1875 x 3000 = 562.5 exactly: away from zero gives 563.
		{ "port half-way", kUnset, 0.1875f, 6563, Datagram("/composition/layers/1/connectnextclip", 3) },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.what);
		ASSERT_EQ(c.expected.size(), 48u);
		UdpReceiver receiver(static_cast<std::uint16_t>(c.port));
		ASSERT_TRUE(receiver.IsOpen()) << receiver.Error();
		void* instance = Instantiate();
		ASSERT_NE(instance, nullptr);
		ASSERT_EQ(Set(instance, kHold, 0.0f), FF_SUCCESS);
		EXPECT_TRUE(c.layerSlider == kUnset || Set(instance, kLayer, c.layerSlider) == FF_SUCCESS);
		EXPECT_TRUE(c.portSlider == kUnset || Set(instance, kOscPort, c.portSlider) == FF_SUCCESS);
		EXPECT_EQ(Display(instance, kOscPort), std::to_string(c.port));

		EXPECT_EQ(Frame(instance, black), FF_SUCCESS);
		const auto datagram = receiver.Receive(2000);
		ASSERT_TRUE(datagram.has_value()) << "nothing arrived on port " << c.port;
		EXPECT_EQ(std::string(datagram->begin(), datagram->end()), c.expected);

		// Disarmed: the rest of the black run sends nothing.
		EXPECT_EQ(Frame(instance, black), FF_SUCCESS);
		EXPECT_FALSE(receiver.Receive(50).has_value());
	}
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

TEST_F(GuardMessageTest, OscDumpReadsTheMessage)
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

	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	ASSERT_EQ(Set(instance, kHold, 0.0f), FF_SUCCESS);
	ASSERT_EQ(Set(instance, kRecovery, 0.0f), FF_SUCCESS);
	ASSERT_EQ(Set(instance, kLayer, 1.0f), FF_SUCCESS);
	ASSERT_EQ(Set(instance, kOscPort, PortSlider(kPort)), FF_SUCCESS);

	// oscdump may not be listening yet: with no hold and no recovery every
	// grey-then-black pair of frames sends once, until a line is printed.
	const std::string expected = "/composition/layers/99/connectnextclip i 1";
	const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
	while (dump.Output(0).find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline)
	{
		ASSERT_EQ(Frame(instance, grey), FF_SUCCESS);
		ASSERT_EQ(Frame(instance, black), FF_SUCCESS);
		dump.Output(100);
	}
	const std::string& output = dump.Output(0);
	const std::string firstLine = output.substr(0, output.find('\n'));
	EXPECT_NE(firstLine.find(expected), std::string::npos) << "oscdump printed: " << output;
}
} // namespace
