// GuardDriver: the guard module driven as a host drives it, for the soak and
// allocation tests.
//
// It loads the built module with dlopen (through ffgltool::PluginModule), owns
// a tiny host framebuffer and two input textures (black and grey), and a UDP
// receiver on a port of the guard's range (6000..9000) that the instances are
// pointed at. The caller provides the current GL context (GLFixture) and keeps
// it current.
#pragma once

#include "tests/support/HeadlessGL.h"
#include "tests/support/UdpReceiver.h"
#include "tools/PluginModule.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class GuardDriver
{
public:
	// Small: llvmpipe's cost per frame grows with the pixels drawn.
	static constexpr std::uint32_t kSize = 16;

	// Parameter numbers of the guard.
	static constexpr std::uint32_t kBlackHold = 1;
	static constexpr std::uint32_t kRecovery = 2;
	static constexpr std::uint32_t kOscPort = 4;

	GuardDriver() = default;
	~GuardDriver();
	GuardDriver(const GuardDriver&) = delete;
	GuardDriver& operator=(const GuardDriver&) = delete;

	// Loads the module, binds the receiver and makes the GL objects; error
	// says why when it returns false.
	bool Open(const std::string& modulePath, HeadlessGL& gl, std::string& error);

	// A new instance for a kSize x kSize viewport whose messages go to the
	// receiver, with the given hold and recovery (0..1 slider values). Null
	// when the module refused it.
	void* NewInstance(float hold, float recovery) const;
	void DeleteInstance(void* instance) const;

	// One frame of black or grey input into the host framebuffer; the result
	// of code 17.
	std::uint32_t Frame(void* instance, bool black) const;

	UdpReceiver& Receiver() { return *receiver; }
	const ffgltool::PluginModule& Module() const { return module; }

	// The datagram the guard sends for layer 1 (the default layer).
	static std::vector<std::uint8_t> ExpectedMessage();

private:
	ffgltool::PluginModule module;
	std::unique_ptr<UdpReceiver> receiver;
	HeadlessGL::Framebuffer output;
	unsigned int blackTexture = 0;
	unsigned int greyTexture = 0;
	float portSlider = 0.0f;
};

// Process-wide measurements that must not grow over a soak.
int OpenFileDescriptorCount();
long ResidentBytes();
