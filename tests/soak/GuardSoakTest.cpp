// Soak tests of the guard module through plugMain: many instance lifetimes and
// one long show. Each must leave the process as it found it (file
// descriptors, live GL objects, resident memory), deliver every message to a
// real UDP receiver and send nothing on frames that should not send.
#include "tests/soak/SoakFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// AddressSanitizer keeps freed memory in quarantine, so resident memory grows
// there without any leak; LeakSanitizer checks that build instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMeasureResidentMemory = false;
#else
constexpr bool kMeasureResidentMemory = true;
#endif
// Growth of resident memory that is noise (allocator and driver pools), not a
// leak: a leak of one small object per frame over 200,000 frames exceeds it.
constexpr long kResidentSlack = 4L << 20;

struct ProcessMeasure
{
	int fds = -1;
	GLObjectNames objects;
	long resident = -1;
};

class GuardSoakTest : public SoakFixture
{
protected:
	static ProcessMeasure Measure() { return { OpenFileDescriptorCount(), LiveObjects(), ResidentBytes() }; }

	static void ExpectNoGrowth(const ProcessMeasure& before, const char* when)
	{
		const ProcessMeasure after = Measure();
		EXPECT_EQ(after.fds, before.fds) << "file descriptors " << when;
		EXPECT_EQ(after.objects, before.objects) << "live GL objects " << when;
		EXPECT_TRUE(!kMeasureResidentMemory || after.resident - before.resident < kResidentSlack)
			<< "resident memory grew by " << after.resident - before.resident << " bytes " << when;
	}

	// The one message of a send, byte for byte, and nothing after it.
	void ExpectOneMessage(const std::string& where)
	{
		const auto message = receiver->Receive(2000);
		ASSERT_TRUE(message.has_value()) << "no message arrived " << where;
		EXPECT_EQ(*message, ExpectedMessage()) << where;
		EXPECT_TRUE(receiver->Drain().empty()) << "more than one message " << where;
	}
};

// Each new instance starts armed: with hold 0 its first black frame sends, and
// the 29 black frames after it send nothing (disarmed, no recovery).
TEST_F(GuardSoakTest, ThousandInstanceLifetimesLeakNothingAndSendOncePerLifetime)
{
	ProcessMeasure baseline;
	for (int cycle = 0; cycle < 1000 && !HasFailure(); ++cycle)
	{
		if (cycle == 10) // after the driver's and allocator's first-use growth
			baseline = Measure();
		void* instance = NewInstance(0.0f, 0.0f);
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
	void* instance = NewInstance(0.0f, 0.0f);
	ASSERT_NE(instance, nullptr);
	ProcessMeasure baseline;
	int messages = 0;
	for (int frame = 0; frame < 200000 && !HasFailure(); ++frame)
	{
		if (frame == 2000)
			baseline = Measure();
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
