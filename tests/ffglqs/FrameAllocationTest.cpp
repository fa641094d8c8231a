// The per-frame step of a quick-start plug-in with an FFT parameter allocates
// nothing once its first frame has sized the analyser: a host's render loop
// must not wait on the allocator. This executable's global operator new counts.
#include "tests/ffglqs/QuickStartProbes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <new>

namespace
{
long s_allocations = 0;
} // namespace

void* operator new(std::size_t size)
{
	++s_allocations;
	if (void* memory = std::malloc(size == 0 ? 1 : size))
		return memory;
	throw std::bad_alloc();
}
void operator delete(void* memory) noexcept
{
	std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
	std::free(memory);
}

TEST(QuickStartAllocationTest, AudioAndTimeStepAllocatesNothingAfterTheFirstFrame)
{
	SourceProbe plugin;
	plugin.AddParam(ffglqs::ParamFFT::Create("spectrum"));
	plugin.UpdateAudioAndTime(plugin.start);
	const long before = s_allocations;
	for (int frame = 1; frame <= 10; ++frame)
		plugin.UpdateAudioAndTime(plugin.start + std::chrono::milliseconds(16 * frame));
	EXPECT_EQ(s_allocations - before, 0);
	EXPECT_EQ(plugin.frame, 11);
}
