// SoakFixture: the guard module through plugMain for long runs, on a corner
// of the host output (small: llvmpipe's cost per frame grows with the pixels
// drawn), with grey and black inputs and a UDP receiver that the instances
// send to.
#pragma once

#include "support/UdpReceiver.h"
#include "tests/guard/GuardModuleFixture.h"

#include <unistd.h>

#include <memory>

class SoakFixture : public GuardModuleFixture
{
protected:
	static constexpr GLint kSize = 16;

	void SetUp() override
	{
		GuardModuleFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		// Any free port of the guard's range, from one that differs between
		// processes: ctest runs these side by side.
		for (int step = 0; step <= 3000 && (receiver == nullptr || !receiver->IsOpen()); ++step)
			receiver = std::make_unique<UdpReceiver>(static_cast<std::uint16_t>(6000 + (getpid() + step) % 3001));
		ASSERT_TRUE(receiver->IsOpen()) << "no free UDP port between 6000 and 9000";
		glViewport(0, 0, kSize, kSize);
		textures[0] = MakeRGBA8Texture(kSize, kSize, Uniform(kSize, kSize, { 160, 160, 160, 255 }));
		textures[1] = MakeRGBA8Texture(kSize, kSize, Uniform(kSize, kSize, { 0, 0, 0, 255 }));
	}
	void TearDown() override
	{
		glDeleteTextures(2, textures);
		GuardModuleFixture::TearDown();
	}

	// An instance the caller deletes, sending to the receiver, with the given
	// hold and recovery sliders.
	void* NewInstance(float hold, float recovery)
	{
		void* instance = module.Instantiate({ 0, 0, kSize, kSize });
		Set(instance, kHold, hold); // a null instance refuses these
		Set(instance, kRecovery, recovery);
		Set(instance, kOscPort, PortSlider(receiver->Port()));
		return instance;
	}

	std::uint32_t Show(void* instance, bool black) { return Frame(instance, textures[black], kSize, kSize); }

	std::unique_ptr<UdpReceiver> receiver;
	GLuint textures[2] = { 0, 0 }; // grey, black
};
