#include "tests/support/Clips.h"

#include <cstdio>

namespace tests
{

bool ForEachFrame(const std::string& graph, int width, int height,
	const std::function<void(const std::uint8_t*)>& take, std::string& error)
{
	const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i \"" + graph +
		"\" -f rawvideo -pix_fmt rgba -s " + std::to_string(width) + "x" + std::to_string(height) + " - 2>&1";
	std::FILE* pipe = ::popen(command.c_str(), "r");
	if (pipe == nullptr)
	{
		error = "cannot run ffmpeg";
		return false;
	}
	const std::size_t frameBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
	std::vector<std::uint8_t> frame(frameBytes);
	std::size_t got = 0;
	while ((got = std::fread(frame.data(), 1, frameBytes, pipe)) == frameBytes)
		take(frame.data());
	const int status = ::pclose(pipe);
	if (status == 0 && got == 0)
		return true;
	error = "ffmpeg failed on '" + graph + "': " + std::string(frame.begin(), frame.begin() + got);
	return false;
}

Clip MakeClip(const std::string& graph, int width, int height, std::string& error)
{
	Clip clip;
	clip.width = width;
	clip.height = height;
	const std::size_t frameBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
	if (!ForEachFrame(
			graph, width, height,
			[&clip, frameBytes](const std::uint8_t* frame) { clip.frames.emplace_back(frame, frame + frameBytes); },
			error))
		clip.frames.clear();
	return clip;
}

} // namespace tests
