// SoakFixture: the guard module through plugMain for long runs, on a corner
// of the host output (small: llvmpipe's cost per frame grows with the pixels
// drawn), with black and grey inputs and a UDP receiver that the instances
// send to.
#pragma once

#include "tests/guard/GuardModuleFixture.h"
#include "support/UdpReceiver.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
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
		black = MakeRGBA8Texture(kSize, kSize, Uniform(kSize, kSize, { 0, 0, 0, 255 }));
		grey = MakeRGBA8Texture(kSize, kSize, Uniform(kSize, kSize, { 160, 160, 160, 255 }));
	}
	void TearDown() override
	{
		const GLuint textures[2] = { black, grey };
		if (black != 0)
			glDeleteTextures(2, textures);
		GuardModuleFixture::TearDown();
	}

	// An instance the caller deletes, sending to the receiver, with the given
	// hold and recovery (0..1 slider values).
	void* NewInstance(float hold, float recovery)
	{
		void* instance = module.Instantiate({ 0, 0, kSize, kSize });
		if (instance != nullptr)
		{
			Set(instance, kHold, hold);
			Set(instance, kRecovery, recovery);
			Set(instance, kOscPort, PortSlider(receiver->Port()));
		}
		return instance;
	}

	std::uint32_t Show(void* instance, bool isBlack) { return Frame(instance, isBlack ? black : grey, kSize, kSize); }

	// The datagram for layer 1 (the default layer).
	static std::vector<std::uint8_t> ExpectedMessage()
	{
		const std::string bytes("/composition/layers/1/connectnextclip\0\0\0,i\0\0\0\0\0\1", 48);
		return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
	}

	static int OpenFileDescriptorCount()
	{
		DIR* directory = opendir("/proc/self/fd");
		int count = -1; // the listing's own descriptor
		while (const dirent* entry = directory != nullptr ? readdir(directory) : nullptr)
			count += entry->d_name[0] != '.' ? 1 : 0;
		if (directory != nullptr)
			closedir(directory);
		return count;
	}

	static long ResidentBytes()
	{
		long size = 0, resident = -1;
		if (std::FILE* statm = std::fopen("/proc/self/statm", "r"))
		{
			if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2)
				resident = -1;
			std::fclose(statm);
		}
		return resident < 0 ? -1 : resident * sysconf(_SC_PAGESIZE);
	}

	std::unique_ptr<UdpReceiver> receiver;
	GLuint black = 0;
	GLuint grey = 0;
};
