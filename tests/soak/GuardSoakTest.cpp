// Soak tests of the guard module through plugMain: many instance lifetimes and
// one long show. Each must leave the process as it found it (file
// descriptors, live GL objects, resident memory), deliver every message to a
// real UDP receiver and send nothing on frames that should not send.
#include "tests/soak/GuardDriver.h"
#include "tests/support/GLFixture.h"

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

constexpr int kCycles = 1000;
constexpr int kFramesPerCycle = 30;
constexpr int kLongRunFrames = 200000;
constexpr int kBlackRunEvery = 1000;
constexpr int kBlackRunLength = 3;

struct ProcessMeasure
{
	int fds = -1;
	GLObjectNames objects;
	long resident = -1;
};

class GuardSoakTest : public GLFixture
{
protected:
	void SetUp() override
	{
		GLFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		std::string error;
		ASSERT_TRUE(driver.Open(TENEBRIXOR_MODULE_PATH, *Context(), error)) << error;
	}

	ProcessMeasure Measure() const
	{
		ProcessMeasure measure;
		measure.fds = OpenFileDescriptorCount();
		measure.objects = LiveObjects();
		measure.resident = ResidentBytes();
		return measure;
	}

	void ExpectNoGrowth(const ProcessMeasure& before, const char* when) const
	{
		const ProcessMeasure after = Measure();
		EXPECT_EQ(after.fds, before.fds) << "file descriptors " << when;
		EXPECT_EQ(after.objects, before.objects) << "live GL objects " << when;
		if (kMeasureResidentMemory)
		{
			EXPECT_LT(after.resident - before.resident, kResidentSlack) << "resident memory " << when;
		}
	}

	// The one message of a send, checked byte for byte.
	void ExpectOneMessage(const std::string& where)
	{
		const auto message = driver.Receiver().Receive(2000);
		ASSERT_TRUE(message.has_value()) << "no message arrived " << where;
		EXPECT_EQ(*message, GuardDriver::ExpectedMessage()) << where;
	}

	void ExpectNothingSent(const std::string& where)
	{
		EXPECT_TRUE(driver.Receiver().Drain().empty()) << "a message was sent " << where;
	}

	GuardDriver driver;
};

// Each new instance starts armed: with hold 0 its first black frame sends, and
// the 29 black frames after it send nothing (disarmed, no recovery).
TEST_F(GuardSoakTest, ThousandInstanceLifetimesLeakNothingAndSendOncePerLifetime)
{
	ProcessMeasure baseline;
	for (int cycle = 0; cycle < kCycles; ++cycle)
	{
		if (cycle == 10) // after the driver's and allocator's first-use growth
			baseline = Measure();
		void* instance = driver.NewInstance(0.0f, 0.0f);
		ASSERT_NE(instance, nullptr) << "cycle " << cycle;
		ASSERT_EQ(driver.Frame(instance, true), FF_SUCCESS) << "cycle " << cycle;
		ExpectOneMessage("on the first frame of cycle " + std::to_string(cycle));
		for (int frame = 1; frame < kFramesPerCycle; ++frame)
			ASSERT_EQ(driver.Frame(instance, true), FF_SUCCESS) << "cycle " << cycle << ", frame " << frame;
		driver.DeleteInstance(instance);
		ExpectNothingSent("after the first frame of cycle " + std::to_string(cycle));
		if (HasFailure())
			return;
	}
	ExpectNoGrowth(baseline, "after 1,000 instance lifetimes");
}

// A long show on one instance: grey picture with a short black run every
// 1,000 frames. Hold 0 and recovery 0 make every run send on its first black
// frame, and only there.
TEST_F(GuardSoakTest, TwoHundredThousandFramesSendOncePerBlackRunAndLeakNothing)
{
	void* instance = driver.NewInstance(0.0f, 0.0f);
	ASSERT_NE(instance, nullptr);
	ProcessMeasure baseline;
	int messages = 0;
	for (int frame = 0; frame < kLongRunFrames; ++frame)
	{
		if (frame == 2 * kBlackRunEvery)
			baseline = Measure();
		const int inRun = frame % kBlackRunEvery;
		const bool black = frame >= kBlackRunEvery && inRun < kBlackRunLength;
		if (black && inRun == 0)
			ExpectNothingSent("on the grey frames before frame " + std::to_string(frame));
		ASSERT_EQ(driver.Frame(instance, black), FF_SUCCESS) << "frame " << frame;
		if (black && inRun == 0)
		{
			ExpectOneMessage("on the first black frame " + std::to_string(frame));
			++messages;
		}
		if (HasFailure())
			break;
	}
	ExpectNothingSent("after the last frame");
	if (!HasFailure())
	{
		EXPECT_EQ(messages, kLongRunFrames / kBlackRunEvery - 1);
		ExpectNoGrowth(baseline, "over 200,000 frames");
	}
	driver.DeleteInstance(instance);
}

} // namespace
