// AddSubtractTestAccess: the tests' view of the guard's private timing state,
// through the friend declaration in AddSubtract.h.
#pragma once

#include "guard/AddSubtract.h"

#include <cstdint>
#include <ostream>

class AddSubtractTestAccess
{
public:
	struct Timing
	{
		bool armed;
		bool blackTimingStarted;
		bool clearTimingStarted;
		std::int64_t blackStart;
		std::int64_t clearStart;

		bool operator==(const Timing& other) const
		{
			return armed == other.armed && blackTimingStarted == other.blackTimingStarted &&
				clearTimingStarted == other.clearTimingStarted && blackStart == other.blackStart &&
				clearStart == other.clearStart;
		}
	};

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

inline void PrintTo(const AddSubtractTestAccess::Timing& timing, std::ostream* os)
{
	*os << (timing.armed ? "armed" : "disarmed") << ", black " << (timing.blackTimingStarted ? "timed" : "-") << " from "
		<< timing.blackStart << ", clear " << (timing.clearTimingStarted ? "timed" : "-") << " from "
		<< timing.clearStart;
}
