// Soak tests of the guard module through plugMain: many instance lifetimes and
// one long show. Each must leave the process as it found it (file
// descriptors, live GL objects, resident memory), deliver every message to a
// real UDP receiver and send nothing on frames that should not send.
#include "tests/guard/GuardModuleFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace
{
// Growth of resident memory that is noise (allocator and driver pools), not a
// leak: a leak of one small object per frame over 200,000 frames exceeds it.
constexpr long kResidentSlack = 4L << 20;

// On a corner of the host output: llvmpipe's cost per frame grows with the
// pixels drawn.
class GuardSoakTest : public GuardModuleFixture
{
protected:
	static constexpr GLint kSize = 16;

	void SetUp() override
	{
		GuardModuleFixture::SetUp();
		if (!IsSkipped() && !HasFatalFailure())
			glViewport(0, 0, kSize, kSize);
	}
	// An instance the caller deletes, with a hold and recovery of 0 s.
	void* NewInstance() { return Sending(module.Instantiate({ 0, 0, kSize, kSize }), 0.0f, 0.0f); }

	struct Usage
	{
		long fds = 0;
		long residentPages = 0;
		GLObjectNames objects;
	};
	static Usage Now()
	{
		Usage usage;
		usage.fds = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
		long size = 0;
		std::ifstream("/proc/self/statm") >> size >> usage.residentPages;
		usage.objects = LiveObjects();
		return usage;
	}
	static void ExpectNoGrowth(const Usage& baseline, const char* when)
	{
		const Usage now = Now();
		EXPECT_EQ(now.fds, baseline.fds) << "file descriptors " << when;
		EXPECT_EQ(now.objects, baseline.objects) << "live GL objects " << when;
#if !defined(__SANITIZE_ADDRESS__) // its quarantine keeps freed memory resident; LeakSanitizer checks that build
		EXPECT_LT((now.residentPages - baseline.residentPages) * sysconf(_SC_PAGESIZE), kResidentSlack)
			<< "resident bytes " << when;
#endif
	}

	// The one message of a send, and nothing after it.
	void ExpectOneMessage(const std::string& where)
	{
		EXPECT_TRUE(receiver->Receive(2000).has_value()) << "no message arrived " << where;
		EXPECT_TRUE(receiver->Drain().empty()) << "more than one message " << where;
	}
};

// Each new instance starts armed: with hold 0 its first black frame sends, and
// the 29 black frames after it send nothing (disarmed, no recovery).
TEST_F(GuardSoakTest, ThousandInstanceLifetimesLeakNothingAndSendOncePerLifetime)
{
	Usage baseline;
	for (int cycle = 0; cycle < 1000 && !HasFailure(); ++cycle)
	{
		if (cycle == 10) // after the driver's and allocator's first-use growth
			baseline = Now();
		void* instance = NewInstance();
		ASSERT_NE(instance, nullptr) << "cycle " << cycle;
		for (int frame = 0; frame < 30; ++frame)
			ASSERT_EQ(Show(instance, true), FF_SUCCESS) << "cycle " << cycle << ", frame " << frame;
		module.DeInstantiate(instance);
		ExpectOneMessage("in cycle " + std::to_string(cycle));
	}
	ExpectNoGrowth(baseline, "after 1,000 instance lifetimes");
}

// A long show on one instance: grey picture with a black run of 3 frames every
// 1,000 frames. Hold 0 and recovery 0 make every run send on its first black
// frame, and only there.
TEST_F(GuardSoakTest, TwoHundredThousandFramesSendOncePerBlackRunAndLeakNothing)
{
	void* instance = NewInstance();
	ASSERT_NE(instance, nullptr);
	Usage baseline;
	int messages = 0;
	for (int frame = 0; frame < 200000 && !HasFailure(); ++frame)
	{
		if (frame == 2000)
			baseline = Now();
		const bool black = frame >= 1000 && frame % 1000 < 3;
		ASSERT_EQ(Show(instance, black), FF_SUCCESS) << "frame " << frame;
		if (black && frame % 1000 == 0)
		{
			ExpectOneMessage("at frame " + std::to_string(frame));
			++messages;
		}
	}
	EXPECT_TRUE(receiver->Drain().empty()) << "a message was sent on a frame that should not send";
	EXPECT_EQ(messages, 199);
	ExpectNoGrowth(baseline, "over 200,000 frames");
	module.DeInstantiate(instance);
}
} // namespace
