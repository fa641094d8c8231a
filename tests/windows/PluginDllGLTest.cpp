// The Windows DLLs drawing in a WGL context, as a Windows host drives them:
// the guard passes the picture through, shows its parameters, and sends its
// next-clip datagram over Winsock when the picture turns black; a quick-start
// example draws through the same GL loader.
#include "ffglex/FFGLGL.h"
#include "ffglqs/Random.h"
#include "tests/windows/WglFixture.h"
#include "tests/windows/WindowsPlugin.h"

#include <gtest/gtest.h>

#include <winsock2.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using FFGLMixed::FromPointer;
using FFGLMixed::FromUInt;

namespace
{
constexpr GLsizei kWidth = 64;
constexpr GLsizei kHeight = 32;

class PluginDllGLTest : public tests::WglFixture
{
protected:
	void SetUp() override
	{
		StartContext();
		if (IsSkipped() || HasFatalFailure())
			return;
		output = Uniform(0);
		glGenFramebuffers(1, &hostFramebuffer);
		glBindFramebuffer(GL_FRAMEBUFFER, hostFramebuffer);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, output, 0);
		ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
		glViewport(0, 0, kWidth, kHeight);
	}
	void TearDown() override
	{
		if (instance != nullptr)
		{
			EXPECT_EQ(plugin.Call64(FF_DEINSTANTIATE_GL, FromUInt(0), instance), FF_SUCCESS);
		}
		if (hostFramebuffer != 0)
		{
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
			glDeleteFramebuffers(1, &hostFramebuffer);
			glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
		}
		WglFixture::TearDown();
	}

	void Start(const char* dll)
	{
		std::string error;
		ASSERT_TRUE(plugin.Load(dll, error)) << error;
		instance = plugin.Instantiate({ 0, 0, kWidth, kHeight });
		ASSERT_NE(instance, nullptr);
	}

	GLuint MakeTexture(const std::vector<std::uint8_t>& texels)
	{
		// Nearest filtering, so the output can be compared byte for byte.
		GLuint texture = 0;
		glGenTextures(1, &texture);
		glBindTexture(GL_TEXTURE_2D, texture);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kWidth, kHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
		glBindTexture(GL_TEXTURE_2D, 0);
		textures.push_back(texture);
		return texture;
	}

	std::uint64_t Frame(GLuint input)
	{
		FFGLTextureStructTag texture = { kWidth, kHeight, kWidth, kHeight, input };
		FFGLTextureStructTag* inputs[] = { &texture };
		ProcessOpenGLStructTag record = { input != 0 ? 1u : 0u, inputs, hostFramebuffer };
		return plugin.Call64(FF_PROCESS_OPENGL, FromPointer(&record), instance);
	}

	std::vector<std::uint8_t> Output()
	{
		std::vector<std::uint8_t> pixels(kWidth * kHeight * 4, 0xAB);
		glBindFramebuffer(GL_FRAMEBUFFER, hostFramebuffer);
		glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
		return pixels;
	}

	std::string Shown(std::uint32_t index)
	{
		const char* text = plugin.CallText(FF_GET_PARAMETER_DISPLAY, index, instance);
		return text != nullptr ? text : "<null>";
	}
	GLuint Uniform(std::uint8_t level) { return MakeTexture(std::vector<std::uint8_t>(kWidth * kHeight * 4, level)); }

	// The guard on the port 6000 + slider x 3000, with hold and recovery 0:
	// the first black frame after a grey one sends.
	void StartSendingTo(float portSlider, const char* port)
	{
		Start("CameraTenebrixor.dll");
		ASSERT_EQ(plugin.SetParameter(instance, 4, portSlider), FF_SUCCESS);
		ASSERT_EQ(Shown(4), port);
		plugin.SetParameter(instance, 1, 0.0f);
		plugin.SetParameter(instance, 2, 0.0f);
	}
	// n black runs, each a grey frame and a black one.
	void BlackRuns(int n)
	{
		const GLuint grey = Uniform(128);
		const GLuint black = Uniform(0);
		for (int run = 0; run < n; ++run)
		{
			ASSERT_EQ(Frame(grey), FF_SUCCESS);
			ASSERT_EQ(Frame(black), FF_SUCCESS);
		}
	}

	tests::WindowsPlugin plugin;
	void* instance = nullptr;
	GLuint hostFramebuffer = 0;
	GLuint output = 0;
	std::vector<GLuint> textures;
};

// A UDP socket on 127.0.0.1 that takes what arrives within half a second.
class LoopbackReceiver
{
public:
	explicit LoopbackReceiver(std::uint16_t port)
	{
		WSADATA winsock;
		started = ::WSAStartup(MAKEWORD(2, 2), &winsock) == 0;
		socketHandle = ::socket(AF_INET, SOCK_DGRAM, 0);
		sockaddr_in address = {};
		address.sin_family = AF_INET;
		address.sin_port = htons(port);
		address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
		bound = ::bind(socketHandle, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
		const DWORD timeoutMs = 500;
		::setsockopt(socketHandle, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof(DWORD));
	}
	~LoopbackReceiver()
	{
		::closesocket(socketHandle);
		if (started)
			::WSACleanup();
	}
	// The next datagram, or an empty one when none arrives in time.
	std::vector<std::uint8_t> Receive()
	{
		std::vector<std::uint8_t> datagram(512);
		const int size = ::recv(socketHandle, reinterpret_cast<char*>(datagram.data()), 512, 0);
		datagram.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
		return datagram;
	}

	bool started = false;
	bool bound = false;

private:
	SOCKET socketHandle = INVALID_SOCKET;
};

TEST_F(PluginDllGLTest, GuardPassesThePictureThroughAndShowsItsParameters)
{
	Start("CameraTenebrixor.dll");
	const char* const shown[] = { "3.5%", "1.00 s", "0.50 s", "1", "7000" };
	for (std::uint32_t i = 0; i < 5; ++i)
		EXPECT_EQ(Shown(i), shown[i]) << i;
	EXPECT_EQ(plugin.SetParameter(instance, 3, 0.5f), FF_SUCCESS);
	EXPECT_EQ(Shown(3), "50");

	std::vector<std::uint8_t> picture(kWidth * kHeight * 4);
	for (std::size_t i = 0; i < picture.size(); ++i)
		picture[i] = static_cast<std::uint8_t>(i * 7 + 13);
	ASSERT_EQ(Frame(MakeTexture(picture)), FF_SUCCESS);
	EXPECT_TRUE(Output() == picture);
}

TEST_F(PluginDllGLTest, BlackPictureSendsTheNextClipDatagramOverWinsock)
{
	StartSendingTo(0.6f, "7800");
	plugin.SetParameter(instance, 3, 11.0f / 98.0f);
	ASSERT_EQ(Shown(3), "12");
	LoopbackReceiver receiver(7800);
	ASSERT_TRUE(receiver.bound) << "port 7800 on 127.0.0.1 is taken";
	BlackRuns(1);
	ASSERT_EQ(Frame(Uniform(0)), FF_SUCCESS);

	const std::string address = "/composition/layers/12/connectnextclip";
	std::vector<std::uint8_t> expected(address.begin(), address.end());
	expected.resize(40, 0);
	expected.insert(expected.end(), { ',', 'i', 0, 0, 0, 0, 0, 1 });
	EXPECT_EQ(receiver.Receive(), expected);
	// One datagram per black run.
	EXPECT_TRUE(receiver.Receive().empty());
}

// A host whose own OSC input is off may never have started Winsock: the
// plug-in starts it for each send. The receiving end is oscdump on the Linux
// side (osc-peer-run.sh), so nothing in this process touches Winsock.
TEST_F(PluginDllGLTest, SendsWhenTheHostHasNotStartedWinsock)
{
	const char* peerPort = std::getenv("TENEBRIXOR_OSC_PEER_PORT");
	if (peerPort == nullptr || std::strcmp(peerPort, "7500") != 0)
		GTEST_SKIP() << "needs oscdump listening on port 7500 (run through osc-peer-run.sh)";
	StartSendingTo(0.5f, "7500");
	// Several black runs, in case the peer was still starting for the first.
	BlackRuns(5);
}

TEST_F(PluginDllGLTest, QuickStartExampleDrawsThroughTheLoader)
{
	Start("examples/ColourRamp.dll");
	for (std::uint32_t i = 0; i < 4; ++i)
		plugin.SetParameter(instance, i, i == 0 ? 0.5f : 1.0f);
	ASSERT_EQ(Frame(0), FF_SUCCESS);
	// Hue 0.5 at full saturation, brightness and alpha: cyan everywhere.
	std::vector<std::uint8_t> cyan;
	for (int i = 0; i < kWidth * kHeight; ++i)
		cyan.insert(cyan.end(), { 0, 255, 255, 255 });
	EXPECT_TRUE(Output() == cyan);
}

// The quick-start random source seeds itself from the system's generator on
// Windows, where there is no /dev/urandom.
TEST(QuickStartRandomOnWindows, SeedsFromTheSystemGenerator)
{
	ffglqs::Random random;
	for (int i = 0; i < 100; ++i)
	{
		const int value = random.GetRandomInt(3, 9);
		EXPECT_GE(value, 3);
		EXPECT_LE(value, 9);
	}
}
} // namespace
