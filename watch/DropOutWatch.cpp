#include "watch/DropOutWatch.h"

DropOutWatch::Step DropOutWatch::Advance(
	const CellValues& cells, const WatchParameters& parameters, std::int64_t nowNs)
{
	const BlackWatch::Step blackStep =
		black.Advance(cells.means, parameters.BlackThreshold(), parameters.BlackHold(), nowNs);
	const StillWatch::Step stillStep =
		still.Advance(cells.points, blackStep.verdict.black, parameters.StillTolerance(), parameters.StillHold(), nowNs);
	const bool dropOut = blackStep.verdict.black || stillStep.verdict.still;
	const bool send = arming.Advance(dropOut, blackStep.due || stillStep.due, nowNs, parameters.Recovery());
	return Step{ blackStep, stillStep, send };
}
