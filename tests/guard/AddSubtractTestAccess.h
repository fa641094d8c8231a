// AddSubtractTestAccess: the tests' view of the guard's private timing state,
// through the friend declaration in AddSubtract.h.
#pragma once

#include "guard/AddSubtract.h"

#include <cstdint>
#include <ostream>
#include <tuple>

class AddSubtractTestAccess
{
public:
	// armed, blackTimingStarted, clearTimingStarted, blackStart, clearStart.
	using Timing = std::tuple<bool, bool, bool, std::int64_t, std::int64_t>;

	static void AdvanceTiming(AddSubtract& guard, bool frameIsBlack, std::int64_t nowNs)
	{
		guard.AdvanceTiming(frameIsBlack, nowNs);
	}

	static Timing TimingOf(const AddSubtract& guard)
	{
		return { guard.armed, guard.blackTimingStarted, guard.clearTimingStarted, guard.blackStart, guard.clearStart };
	}

	static FFGLViewportStructTag ViewportOf(const AddSubtract& guard) { return guard.viewport; }
};
