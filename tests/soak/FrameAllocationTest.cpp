// The guard's frame path allocates nothing on frames that do not send.
//
// This executable replaces the global operator new with one that counts. The
// module links the shared C++ runtime, so its allocations resolve to this
// replacement as well (it is exported from the executable for that reason).
#include "tests/soak/GuardDriver.h"
#include "tests/support/GLFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> s_allocations{0};

void* CountedAllocation(std::size_t size)
{
	s_allocations.fetch_add(1, std::memory_order_relaxed);
	if (void* memory = std::malloc(size == 0 ? 1 : size))
		return memory;
	throw std::bad_alloc();
}
} // namespace

// Default visibility: the module must bind to these, not to the runtime's.
__attribute__((visibility("default"))) void* operator new(std::size_t size)
{
	return CountedAllocation(size);
}
__attribute__((visibility("default"))) void* operator new[](std::size_t size)
{
	return CountedAllocation(size);
}
__attribute__((visibility("default"))) void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
	s_allocations.fetch_add(1, std::memory_order_relaxed);
	return std::malloc(size == 0 ? 1 : size);
}
__attribute__((visibility("default"))) void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
	s_allocations.fetch_add(1, std::memory_order_relaxed);
	return std::malloc(size == 0 ? 1 : size);
}
__attribute__((visibility("default"))) void operator delete(void* memory) noexcept
{
	std::free(memory);
}
__attribute__((visibility("default"))) void operator delete[](void* memory) noexcept
{
	std::free(memory);
}
__attribute__((visibility("default"))) void operator delete(void* memory, std::size_t) noexcept
{
	std::free(memory);
}
__attribute__((visibility("default"))) void operator delete[](void* memory, std::size_t) noexcept
{
	std::free(memory);
}

namespace
{

class FrameAllocationTest : public GLFixture
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

	GuardDriver driver;
};

TEST_F(FrameAllocationTest, CountingReachesTheModule)
{
	// Creating an instance allocates inside the module (the instance itself):
	// if the count stayed 0, the module did not bind to the replacement and
	// the tests below would prove nothing.
	const long before = s_allocations.load();
	void* instance = driver.NewInstance(0.1f, 0.1f);
	ASSERT_NE(instance, nullptr);
	EXPECT_GT(s_allocations.load(), before);
	driver.DeleteInstance(instance);
}

// Frames judged non-black, black frames while timing the hold, and black
// frames while disarmed: none of them sends, none may allocate.
TEST_F(FrameAllocationTest, FramesThatDoNotSendAllocateNothing)
{
	void* instance = driver.NewInstance(0.0f, 1.0f); // hold 0, recovery 5 s
	ASSERT_NE(instance, nullptr);
	// Warm up: the first frames connect the instance and let the driver build
	// what it builds once. The black frame sends and disarms.
	for (int frame = 0; frame < 20; ++frame)
		ASSERT_EQ(driver.Frame(instance, false), FF_SUCCESS);
	ASSERT_EQ(driver.Frame(instance, true), FF_SUCCESS);
	ASSERT_TRUE(driver.Receiver().Receive(2000).has_value()) << "the warm-up black frame sent nothing";

	const long before = s_allocations.load();
	for (int frame = 0; frame < 1000; ++frame)
		driver.Frame(instance, frame % 100 >= 50); // grey, then black while disarmed
	const long allocated = s_allocations.load() - before;
	EXPECT_EQ(allocated, 0) << "operator new calls over 1,000 frames that do not send";
	EXPECT_TRUE(driver.Receiver().Drain().empty()) << "a frame sent while disarmed within the recovery time";
	driver.DeleteInstance(instance);
}

} // namespace
