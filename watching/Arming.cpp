#include "watching/Arming.h"

bool Arming::Advance(bool dropOut, bool due, std::int64_t nowNs, float recovery)
{
	// The recovery test is made on every frame of the run, so a long one
	// leaves the watch armed.
	if (clear.Advance(!dropOut, nowNs, recovery))
		armed = true;
	// Only an armed watch sends: one message per drop-out.
	if (!armed || !due)
		return false;
	armed = false;
	return true;
}
