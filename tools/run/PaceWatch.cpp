#include "tools/run/PaceWatch.h"

#include <algorithm>
#include <cstdio>

namespace ffgltool
{

std::string PaceWatch::Frame(std::uint64_t n, double seconds)
{
	if (n == 0)
		first = seconds;
	const double took = seconds - first;
	const double late = took - static_cast<double>(n) / fps;
	if (warned || late <= std::max(kSlackSeconds, kSlackShare * took))
		return {};
	warned = true;
	char text[400];
	std::snprintf(text, sizeof text,
		"the run cannot keep real time: %llu frames took %.2f s, %.3g fps of the %g asked; the times shown run late "
		"against the footage's own, and a hold on the module's real-time clock passes on fewer frames than in real "
		"time (a smaller --size or --fps may keep up)",
		static_cast<unsigned long long>(n), took, static_cast<double>(n) / took, fps);
	return text;
}

} // namespace ffgltool
