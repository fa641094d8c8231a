#include "tools/run/RunWatch.h"

#include "tools/Command.h"
#include "tools/run/RunOptions.h"
#include "tools/run/SuggestedThreshold.h"
#include "watch/TenebrixorWatch.h"
#include "watching/GLPixelReader.h"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace ffgltool
{
namespace
{

constexpr float kFlatSpread = 3.0f / 255.0f;
constexpr float kFlatDarkest = 0.12f;

std::int64_t Nanoseconds(double seconds)
{
	return static_cast<std::int64_t>(std::llround(seconds * 1e9));
}

bool IsFlat(const LumaSamples& samples)
{
	float low = 1.0f;
	float high = 0.0f;
	for (std::size_t i = 0; i < samples.count; ++i)
	{
		low = std::fmin(low, samples.values[i]);
		high = std::fmax(high, samples.values[i]);
	}
	return samples.count != 0 && high - low <= kFlatSpread;
}

} // namespace

RunWatch::RunWatch(const std::vector<std::string>& names, const std::vector<float>& sliders, int width, int height,
	const std::string& tracePath, const std::string& plotPath) :
	measure(TenebrixorWatch::kGrid, 7),
	plotPath(plotPath)
{
	for (std::size_t i = 0; i < names.size(); ++i)
	{
		if (names[i] == GuardParameters::Name(GuardParameters::kBlackThreshold))
			kind = Kind::Black;
		else if (names[i] == WatchParameters::Name(WatchParameters::kStillTolerance))
			kind = Kind::Still;
	}
	for (std::size_t i = 0; i < names.size() && i < sliders.size(); ++i)
	{
		const auto index = static_cast<unsigned int>(i);
		if (kind == Kind::Black && names[i] == GuardParameters::Name(index))
			guard.Set(index, sliders[i]);
		if (kind == Kind::Still && names[i] == WatchParameters::Name(index))
			still.Set(index, sliders[i]);
	}
	if (kind == Kind::Black)
		measure = SampleMeasure();
	measure.SetViewport({ 0, 0, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height) });

	if (tracePath.empty())
		return;
	trace = std::fopen(tracePath.c_str(), "w");
	if (trace == nullptr)
		throw RunError(kExitRunError, "cannot write the trace " + tracePath + ": " + std::strerror(errno));
	static const char* const kHeads[] = { "frame,time_s,sent\n", "frame,time_s,brightest_luma,black,armed,sent\n",
		"frame,time_s,largest_change,still,armed,sent\n" };
	Write(kHeads[static_cast<int>(kind)]);
}

RunWatch::~RunWatch()
{
	if (trace != nullptr)
		std::fclose(trace);
}

void RunWatch::Measure(LumaSamples& samples) const
{
	measure.Read(GLPixelReader(), samples);
}

void RunWatch::Frame(std::uint64_t n, double seconds, bool drawn, std::size_t messages)
{
	char line[160];
	const auto frame = static_cast<unsigned long long>(n);
	if (kind == Kind::Other || !drawn)
	{
		// Refused frames are not judged, as the plug-ins do not judge them.
		if (kind == Kind::Other)
			std::snprintf(line, sizeof line, "%llu,%.3f,%zu\n", frame, seconds, messages);
		else
			std::snprintf(line, sizeof line, "%llu,%.3f,,,,%zu\n", frame, seconds, messages);
		Write(line);
		if (!plotPath.empty())
			plotted.push_back({ seconds, 0.0f, false, static_cast<unsigned int>(messages) });
		return;
	}

	LumaSamples samples;
	Measure(samples);
	const std::int64_t now = Nanoseconds(seconds);
	if (kind == Kind::Black)
	{
		const float brightest = BrightestLuma(samples);
		const bool black = brightest <= guard.BlackThreshold();
		arming.Advance(black, blackRun.Advance(black, now, guard.BlackHold()), now, guard.Recovery());
		std::snprintf(line, sizeof line, "%llu,%.3f,%.4f,%d,%d,%zu\n", frame, seconds, brightest, black ? 1 : 0,
			arming.Armed() ? 1 : 0, messages);

		if (!plotPath.empty())
			plotted.push_back({ seconds, brightest, black, static_cast<unsigned int>(messages) });
		const bool flatDark = !black && brightest < kFlatDarkest && IsFlat(samples);
		if (!flatDark)
			flatSince.reset();
		else if (!flatSince)
			flatSince = seconds;
		if (flatDark && !flatWarned && seconds - *flatSince > guard.BlackHold())
		{
			flatWarned = true;
			// Flat and dark stays below 12 %: a suggestion always exists.
			const std::optional<SuggestedThreshold> suggestion = SuggestThreshold(brightest);
			char text[400];
			std::snprintf(text, sizeof text,
				"the picture sat flat and dark at %.1f %% luma for longer than the hold, just above the threshold "
				"of %s: a \"Black Threshold\" of %s (--set \"Black Threshold=%.6f\") would count it as "
				"black. Limited-range black shown without range expansion (16/255, 6.3 %%) and capture cards' blue "
				"no-signal screens look like this",
				static_cast<double>(brightest) * 100.0, ThresholdDisplay(guard.BlackThreshold()).c_str(),
				suggestion->display.c_str(), suggestion->slider);
			flatWarning = text;
		}
	}
	else
	{
		const StillWatch::Step step = stillWatch.Advance(samples, still, now).still;
		std::snprintf(line, sizeof line, "%llu,%.3f,%.4f,%d,%d,%zu\n", frame, seconds, step.verdict.change,
			step.verdict.still ? 1 : 0, stillWatch.Arms().Armed() ? 1 : 0, messages);
		if (!plotPath.empty())
			plotted.push_back({ seconds, std::fmin(step.verdict.change, 1.0f), step.verdict.still,
				static_cast<unsigned int>(messages) });
	}
	Write(line);
}

void RunWatch::WritePlot() const
{
	if (plotPath.empty())
		return;
	if (kind == Kind::Still)
		WriteRunPlot(plotPath, plotted, "largest change from the reference", still.StillTolerance());
	else
		WriteRunPlot(plotPath, plotted, "brightest luma", guard.BlackThreshold());
}

std::string RunWatch::TakeFlatDarkWarning()
{
	std::string warning;
	warning.swap(flatWarning);
	return warning;
}

void RunWatch::Write(const char* line)
{
	if (trace != nullptr)
		std::fputs(line, trace);
}

} // namespace ffgltool
