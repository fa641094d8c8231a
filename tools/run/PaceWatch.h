// PaceWatch: whether a paced run keeps the frame rate it was asked for.
//
// Frame n is due n / fps after the first frame, whose own delay (a shader
// compiled, a pipe's producer starting) is left out. A run whose frames come
// later than that, because drawing or reading them is slower than the rate,
// plays its footage slower than real time while the plug-in's clock keeps real
// time: the times shown run late against the footage's own, and a hold passes
// on fewer frames than in real time. The watch says so once, when a frame
// comes more than half a second and more than a tenth of the time since the
// first frame behind its due time: a short stall stays below that, a run a
// few percent slow too. It takes clock readings and keeps no clock of its own.
#pragma once

#include <cstdint>
#include <string>

namespace ffgltool
{

class PaceWatch
{
public:
	static constexpr double kSlackSeconds = 0.5;
	static constexpr double kSlackShare = 0.1;

	explicit PaceWatch(double fps) : fps(fps) {}

	// Frame n (from 0, every frame in order) done at seconds on the run's
	// clock. Once, at the first frame that is too late: the warning text;
	// empty otherwise.
	std::string Frame(std::uint64_t n, double seconds);

private:
	double fps;
	double first = 0.0;
	bool warned = false;
};

} // namespace ffgltool
