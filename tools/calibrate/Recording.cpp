#include "tools/calibrate/Recording.h"

#include "tools/Command.h"
#include "tools/run/RawFrameReader.h"
#include "tools/run/RunOptions.h"
#include "watching/MemoryPixelReader.h"
#include "watching/SampleMeasure.h"

#include <algorithm>
#include <cmath>

namespace ffgltool
{

Recording Recording::Read(const std::string& path, int width, int height)
{
	std::string error;
	RawFrameFile file = OpenRawFrameFile(path, width, height, error);
	if (!file)
		throw RunError(kExitRunError, error);
	RawFrameReader reader(file.get(), width, height, path);

	SampleMeasure measure;
	measure.SetViewport({ 0, 0, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height) });
	std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
	Recording recording{ path, {} };
	for (std::uint64_t n = 0;; ++n)
	{
		const FrameSource::Result result = reader.Next(n, pixels.data(), error);
		if (result == FrameSource::Result::End)
			return recording;
		if (result == FrameSource::Result::Error)
			throw RunError(kExitRunError, error);
		LumaSamples samples;
		measure.Read(MemoryPixelReader(pixels.data(), static_cast<std::uint32_t>(width),
						 static_cast<std::uint32_t>(height), MemoryPixelReader::Rows::BottomUp),
			samples);
		recording.brightest.push_back(BrightestLuma(samples));
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

std::vector<DarkRun> Recording::DarkRuns(float threshold) const
{
	std::vector<DarkRun> runs;
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

} // namespace ffgltool
