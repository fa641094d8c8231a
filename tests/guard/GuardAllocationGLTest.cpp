// The frame path allocates nothing: no frame, sending or not, may reach the
// allocator in a host's render loop. The global operator new of this test
// executable also serves the module loaded into it, so counting its calls
// around plugMain covers the guard's own code. The replacement lives in an
// executable of its own, and is left out under AddressSanitizer, which brings
// its own operator new.
#include "tests/guard/GuardModuleFixture.h"
#include "tests/support/UdpReceiver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define COUNTS_ALLOCATIONS 0
#else
#define COUNTS_ALLOCATIONS 1
#endif

namespace
{
std::atomic<long> s_allocations{ 0 };
} // namespace

#if COUNTS_ALLOCATIONS
void* operator new(std::size_t size)
{
	s_allocations.fetch_add(1, std::memory_order_relaxed);
	if (void* memory = std::malloc(size != 0 ? size : 1))
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
#endif

namespace
{
class GuardAllocationGLTest : public GuardModuleFixture
{
};

TEST_F(GuardAllocationGLTest, FramesAllocateNothing)
{
	if (!COUNTS_ALLOCATIONS)
		GTEST_SKIP() << "allocations are not counted under AddressSanitizer";
	constexpr int kPort = 7395;
	UdpReceiver receiver(kPort);
	ASSERT_TRUE(receiver.IsOpen()) << receiver.Error();
	void* instance = Instantiate();
	ASSERT_NE(instance, nullptr);
	ASSERT_EQ(Set(instance, kHold, 0.0f), FF_SUCCESS);
	ASSERT_EQ(Set(instance, kRecovery, 0.0f), FF_SUCCESS);
	ASSERT_EQ(Set(instance, kOscPort, PortSlider(kPort)), FF_SUCCESS);
	const GLuint black = MakeRGBA8Texture(kOutputWidth, kOutputHeight, Uniform(kOutputWidth, kOutputHeight, { 0, 0, 0, 255 }));
	const GLuint grey = MakeRGBA8Texture(kOutputWidth, kOutputHeight, Uniform(kOutputWidth, kOutputHeight, { 90, 90, 90, 255 }));

	// The driver may build what it needs on the first draws.
	for (int frame = 0; frame < 4; ++frame)
		Frame(instance, frame % 2 == 0 ? grey : black, kOutputWidth, kOutputHeight);
	receiver.Drain();

	const long before = s_allocations.load();
	for (int frame = 0; frame < 40; ++frame)
		Frame(instance, frame % 2 == 0 ? grey : black, kOutputWidth, kOutputHeight);
	const long allocations = s_allocations.load() - before;
	EXPECT_EQ(allocations, 0);

	// Every black frame sent: no recovery, no hold.
	int received = 0;
	while (received < 20 && receiver.Receive(2000))
		++received;
	EXPECT_EQ(received, 20);
	glDeleteTextures(1, &black);
	glDeleteTextures(1, &grey);
}
} // namespace
