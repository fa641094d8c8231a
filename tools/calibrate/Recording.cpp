#include "tools/calibrate/Recording.h"

#include "tools/Command.h"
#include "tools/run/ModuleWatches.h"
#include "tools/run/RawFrameReader.h"
#include "tools/run/RunOptions.h"
#include "watching/BlackWatch.h"
#include "watching/StillRun.h"

#include <algorithm>
#include <cmath>

namespace ffgltool
{

Recording Recording::Read(const std::string& path, int width, int height, const std::string& blackOf)
{
	std::string error;
	RawFrameFile file = OpenRawFrameFile(path, width, height, error);
	if (!file)
		throw RunError(kExitRunError, error);
	RawFrameReader reader(file.get(), width, height, path);

	const std::unique_ptr<ModuleWatch> black = FindModuleWatch(blackOf);
	const std::unique_ptr<ModuleWatch> watch = FindModuleWatch(kWatchId);
	std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
	const Picture picture{ pixels.data(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height) };
	FrameValues values;
	Recording recording{ path, {}, {}, CellGrid::kCount };
	for (std::uint64_t n = 0;; ++n)
	{
		const FrameSource::Result result = reader.Next(n, pixels.data(), error);
		if (result == FrameSource::Result::End)
			return recording;
		if (result == FrameSource::Result::Error)
			throw RunError(kExitRunError, error);
		black->Measure(picture, values);
		recording.brightest.push_back(BrightestLuma(values.black));
		watch->Measure(picture, values);
		recording.samples.insert(recording.samples.end(), values.still.values.begin(),
			values.still.values.begin() + static_cast<std::ptrdiff_t>(values.still.count));
	}
}

LumaSummary Recording::Summary() const
{
	if (brightest.empty())
		return {};
	std::vector<float> sorted = brightest;
	std::sort(sorted.begin(), sorted.end());
	const auto rank = [&sorted](double percent)
	{
		const auto index = static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(sorted.size())));
		return sorted[std::max<std::size_t>(index, 1) - 1];
	};
	return { sorted.front(), rank(50.0), rank(99.0), sorted.back() };
}

std::vector<FrameRun> Recording::DarkRuns(float threshold) const
{
	std::vector<FrameRun> runs;
	for (std::size_t i = 0; i < brightest.size(); ++i)
	{
		if (brightest[i] > threshold)
			continue;
		if (runs.empty() || runs.back().first + runs.back().frames != i)
			runs.push_back({ i, 0 });
		++runs.back().frames;
	}
	return runs;
}

std::vector<FrameRun> Recording::StillRuns(float blackThreshold, float tolerance, double fps) const
{
	const auto at = [fps](double frame) { return static_cast<std::int64_t>(std::llround(frame / fps * 1e9)); };
	StillRun rule;
	LumaSamples frame;
	frame.count = perFrame;
	std::vector<FrameRun> runs;
	bool inRun = false;
	for (std::size_t i = 0; i < Frames(); ++i)
	{
		std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(i * perFrame), perFrame, frame.values.begin());
		const bool black = BlackWatch::Judge(frame, blackThreshold).black;
		const bool still = rule.Advance(frame, black, tolerance, at(static_cast<double>(i))).still;
		if (still && !inRun)
			runs.push_back(
				{ static_cast<std::size_t>(std::llround(static_cast<double>(rule.ReferenceStart()) * fps / 1e9)), 0 });
		if (still)
			runs.back().frames = i + 1 - runs.back().first;
		inRun = still;
	}
	return runs;
}

} // namespace ffgltool
