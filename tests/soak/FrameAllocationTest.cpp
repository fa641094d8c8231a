// The watching plug-ins' frame paths allocate nothing on frames that do not
// send; every operator new of the process is counted, the modules' included.
#include "tests/guard/GuardModuleFixture.h"
#include "tests/support/CountingNew.h"

#include <gtest/gtest.h>

namespace
{
class FrameAllocationTest : public GuardModuleFixture, public ::testing::WithParamInterface<const char*>
{
protected:
	const char* ModulePath() const override { return GetParam(); }
};

// Grey and black runs of 50 frames alternate (for the Watch every grey
// run a new reference, then a reset) under a hold of 10 s that they never
// reach: no frame sends, and none may allocate.
TEST_P(FrameAllocationTest, FramesThatDoNotSendAllocateNothing)
{
	// The instance is allocated inside the module: uncounted, the module would
	// not have bound to the replacement, and the count below would prove nothing.
	const long beforeInstance = AllocationsSoFar();
	void* instance = Sending(module.Instantiate({ 0, 0, kOutputWidth, kOutputHeight }), 1.0f, 0.0f);
	ASSERT_NE(instance, nullptr);
	EXPECT_GT(AllocationsSoFar(), beforeInstance) << "the module's allocations are not counted";

	// Each frame is presented, as a host presents it, so that the Watch's
	// results come back on time and every step of its read-back has run in
	// the warm-up: the driver builds what it builds once, a shader compiler
	// included, whose allocations would otherwise be counted.
	for (int frame = 0; frame < 20; ++frame)
	{
		ASSERT_EQ(Show(instance, frame % 2 == 0), FF_SUCCESS);
		glFinish();
	}
	const long before = AllocationsSoFar();
	for (int frame = 0; frame < 1000; ++frame)
	{
		Show(instance, frame % 100 >= 50);
		glFinish();
	}
	EXPECT_EQ(AllocationsSoFar() - before, 0) << "operator new calls over 1,000 frames that do not send";
	EXPECT_TRUE(receiver->Drain().empty());
	module.DeInstantiate(instance);
}

INSTANTIATE_TEST_SUITE_P(Modules, FrameAllocationTest,
	::testing::Values(TENEBRIXOR_MODULE_PATH, TENEBRIXOR_WATCH_MODULE_PATH),
	[](const ::testing::TestParamInfo<const char*>& info) { return info.index == 0 ? "Guard" : "Watch"; });
} // namespace
