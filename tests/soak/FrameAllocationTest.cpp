// The watching plug-ins' frame paths allocate nothing on frames that do not
// send. This executable replaces the global operator new with one that counts.
// The modules link the shared C++ runtime, so their allocations resolve to this
// replacement as well (it is exported from the executable for that reason).
#include "tests/guard/GuardModuleFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> s_allocations{ 0 };

void* Counted(std::size_t size) noexcept
{
	s_allocations.fetch_add(1, std::memory_order_relaxed);
	return std::malloc(size == 0 ? 1 : size);
}

void* CountedOrThrow(std::size_t size)
{
	if (void* memory = Counted(size))
		return memory;
	throw std::bad_alloc();
}
} // namespace

// Default visibility: the module must bind to these, not to the runtime's. The
// nothrow forms too: code that allocates with them (the GL driver's JIT does)
// frees with the plain operator delete, so both sides must agree.
#define EXPORTED __attribute__((visibility("default")))
EXPORTED void* operator new(std::size_t size)
{
	return CountedOrThrow(size);
}
EXPORTED void* operator new[](std::size_t size)
{
	return CountedOrThrow(size);
}
EXPORTED void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
	return Counted(size);
}
EXPORTED void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
	return Counted(size);
}
EXPORTED void operator delete(void* memory, const std::nothrow_t&) noexcept
{
	std::free(memory);
}
EXPORTED void operator delete[](void* memory, const std::nothrow_t&) noexcept
{
	std::free(memory);
}
EXPORTED void operator delete(void* memory) noexcept
{
	std::free(memory);
}
EXPORTED void operator delete[](void* memory) noexcept
{
	std::free(memory);
}
EXPORTED void operator delete(void* memory, std::size_t) noexcept
{
	std::free(memory);
}
EXPORTED void operator delete[](void* memory, std::size_t) noexcept
{
	std::free(memory);
}

namespace
{
class FrameAllocationTest : public GuardModuleFixture, public ::testing::WithParamInterface<const char*>
{
protected:
	const char* ModulePath() const override { return GetParam(); }
};

// Grey and black runs of 50 frames alternate (for the still guard every grey
// run a new reference, then a reset) under a hold of 10 s that they never
// reach: no frame sends, and none may allocate.
TEST_P(FrameAllocationTest, FramesThatDoNotSendAllocateNothing)
{
	// The instance is allocated inside the module: uncounted, the module would
	// not have bound to the replacement, and the count below would prove nothing.
	const long beforeInstance = s_allocations.load();
	void* instance = Sending(module.Instantiate({ 0, 0, kOutputWidth, kOutputHeight }), 1.0f, 0.0f);
	ASSERT_NE(instance, nullptr);
	EXPECT_GT(s_allocations.load(), beforeInstance) << "the module's allocations are not counted";

	// Warm-up: the driver builds what it builds once.
	for (int frame = 0; frame < 20; ++frame)
		ASSERT_EQ(Show(instance, frame % 2 == 0), FF_SUCCESS);
	const long before = s_allocations.load();
	for (int frame = 0; frame < 1000; ++frame)
		Show(instance, frame % 100 >= 50);
	EXPECT_EQ(s_allocations.load() - before, 0) << "operator new calls over 1,000 frames that do not send";
	EXPECT_TRUE(receiver->Drain().empty());
	module.DeInstantiate(instance);
}

INSTANTIATE_TEST_SUITE_P(Modules, FrameAllocationTest,
	::testing::Values(TENEBRIXOR_MODULE_PATH, TENEBRIXOR_STILL_MODULE_PATH),
	[](const ::testing::TestParamInfo<const char*>& info) { return info.index == 0 ? "Guard" : "Still"; });
} // namespace
