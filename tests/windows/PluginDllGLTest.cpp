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
using Pixels = std::vector<std::uint8_t>;

class PluginDllGLTest : public tests::WglFixture
{
protected:
	void SetUp() override
	{
		StartContext();
		if (IsSkipped() || HasFatalFailure())
			return;
		glGenFramebuffers(1, &hostFramebuffer);
		glBindFramebuffer(GL_FRAMEBUFFER, hostFramebuffer);
		glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, Uniform(0), 0);
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

	// Nearest filtering, so the output can be compared byte for byte.
	GLuint MakeTexture(const Pixels& texels)
	{
		textures.push_back(0);
		glGenTextures(1, &textures.back());
		glBindTexture(GL_TEXTURE_2D, textures.back());
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kWidth, kHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
		glBindTexture(GL_TEXTURE_2D, 0);
		return textures.back();
	}
	GLuint Uniform(std::uint8_t level) { return MakeTexture(Pixels(kWidth * kHeight * 4, level)); }

	std::uint64_t Frame(GLuint input)
	{
		FFGLTextureStructTag texture = { kWidth, kHeight, kWidth, kHeight, input };
		FFGLTextureStructTag* inputs[] = { &texture };
		ProcessOpenGLStructTag record = { input != 0 ? 1u : 0u, inputs, hostFramebuffer };
		return plugin.Call64(FF_PROCESS_OPENGL, FromPointer(&record), instance);
	}

	Pixels Output()
	{
		Pixels pixels(kWidth * kHeight * 4, 0xAB);
		glBindFramebuffer(GL_FRAMEBUFFER, hostFramebuffer);
		glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
		return pixels;
	}

	std::string Shown(std::uint32_t index)
	{
		const char* text = plugin.CallText(FF_GET_PARAMETER_DISPLAY, index, instance);
		return text != nullptr ? text : "<null>";
	}

	// The guard on the port 6000 + slider x 3000, with hold and recovery 0, so
	// the first black frame after a grey one sends; then n such black runs.
	// Sets "OSC Port" to port (6000..9000) and draws n black runs.
	void SendTo(int port, int n)
	{
		ASSERT_EQ(plugin.SetParameter(instance, 4, static_cast<float>(port - 6000) / 3000.0f), FF_SUCCESS);
		ASSERT_EQ(Shown(4), std::to_string(port));
		plugin.SetParameter(instance, 1, 0.0f);
		plugin.SetParameter(instance, 2, 0.0f);
		const GLuint grey = Uniform(128), black = Uniform(0);
		for (int run = 0; run < n; ++run)
			ASSERT_EQ(Frame(grey) + Frame(black) + Frame(black), FF_SUCCESS);
	}

	tests::WindowsPlugin plugin;
	void* instance = nullptr;
	GLuint hostFramebuffer = 0;
	std::vector<GLuint> textures;
};

TEST_F(PluginDllGLTest, GuardPassesThePictureThroughAndShowsItsParameters)
{
	Start("CameraTenebrixor.dll");
	const char* const shown[] = { "3.5%", "1.00 s", "0.50 s", "1", "7000" };
	for (std::uint32_t i = 0; i < 5; ++i)
		EXPECT_EQ(Shown(i), shown[i]) << i;
	EXPECT_EQ(plugin.SetParameter(instance, 3, 0.5f), FF_SUCCESS);
	EXPECT_EQ(Shown(3), "50");

	Pixels picture(kWidth * kHeight * 4);
	for (std::size_t i = 0; i < picture.size(); ++i)
		picture[i] = static_cast<std::uint8_t>(i * 7 + 13);
	ASSERT_EQ(Frame(MakeTexture(picture)), FF_SUCCESS);
	EXPECT_TRUE(Output() == picture);
}

// One datagram per black run, for the layer set, received on 127.0.0.1 by a
// socket of this process.
TEST_F(PluginDllGLTest, BlackPictureSendsTheNextClipDatagramOverWinsock)
{
	WSADATA winsock;
	ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &winsock), 0);
	const SOCKET receiver = ::socket(AF_INET, SOCK_DGRAM, 0);
	// A free port of the plug-in's range, from a start that differs from run
	// to run: a VJ host on the same machine usually holds 7000.
	sockaddr_in address = {};
	address.sin_family = AF_INET;
	address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	int port = 6000 + static_cast<int>(::GetTickCount() % 3001);
	for (int tries = 0; tries < 3001; ++tries, port = port == 9000 ? 6000 : port + 1)
	{
		address.sin_port = htons(static_cast<u_short>(port));
		if (::bind(receiver, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0)
			break;
	}
	const DWORD timeoutMs = 500;
	::setsockopt(receiver, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof(DWORD));
	Start("CameraTenebrixor.dll");
	plugin.SetParameter(instance, 3, 11.0f / 98.0f);
	EXPECT_EQ(Shown(3), "12");
	SendTo(port, 1);

	const std::string bytes("/composition/layers/12/connectnextclip\0\0,i\0\0\0\0\0\1", 48);
	char datagram[64];
	const int sizes[] = { ::recv(receiver, datagram, 64, 0), ::recv(receiver, datagram + 48, 16, 0) };
	EXPECT_EQ(std::string(datagram, sizes[0] > 0 ? sizes[0] : 0), bytes);
	EXPECT_LE(sizes[1], 0) << "a second datagram";
	::closesocket(receiver);
	::WSACleanup();
}

// A host whose own OSC input is off may never have started Winsock: the
// plug-in starts it for each send. The receiving end is oscdump on the Linux
// side (osc-peer-run.sh), so nothing in this process touches Winsock.
TEST_F(PluginDllGLTest, SendsWhenTheHostHasNotStartedWinsock)
{
	const char* peerPort = std::getenv("TENEBRIXOR_OSC_PEER_PORT");
	if (peerPort == nullptr)
		GTEST_SKIP() << "needs oscdump listening on TENEBRIXOR_OSC_PEER_PORT (run through osc-peer-run.sh)";
	Start("CameraTenebrixor.dll");
	SendTo(std::atoi(peerPort), 5); // several runs, in case the peer was still starting for the first
}

TEST_F(PluginDllGLTest, QuickStartExampleDrawsThroughTheLoader)
{
	Start("examples/ColourRamp.dll");
	for (std::uint32_t i = 0; i < 4; ++i)
		plugin.SetParameter(instance, i, i == 0 ? 0.5f : 1.0f);
	ASSERT_EQ(Frame(0), FF_SUCCESS);
	// Hue 0.5 at full saturation, brightness and alpha: cyan everywhere.
	Pixels cyan;
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
		EXPECT_TRUE(value >= 3 && value <= 9) << value;
	}
}
} // namespace
