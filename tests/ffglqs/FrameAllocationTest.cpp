// The per-frame step of a quick-start plug-in with an FFT parameter allocates
// nothing once its first frame has sized the analyser: a host's render loop
// must not wait on the allocator. This executable's global operator new counts.
#include "tests/ffglqs/QuickStartProbes.h"
#include "tests/support/CountingNew.h"

#include <gtest/gtest.h>

#include <chrono>

TEST(QuickStartAllocationTest, AudioAndTimeStepAllocatesNothingAfterTheFirstFrame)
{
	SourceProbe plugin;
	plugin.AddParam(ffglqs::ParamFFT::Create("spectrum"));
	plugin.UpdateAudioAndTime(plugin.start);
	const long before = AllocationsSoFar();
	for (int frame = 1; frame <= 10; ++frame)
		plugin.UpdateAudioAndTime(plugin.start + std::chrono::milliseconds(16 * frame));
	EXPECT_EQ(AllocationsSoFar() - before, 0);
	EXPECT_EQ(plugin.frame, 11);
}
