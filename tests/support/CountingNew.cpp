#include "tests/support/CountingNew.h"

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

long AllocationsSoFar()
{
	return s_allocations.load();
}
