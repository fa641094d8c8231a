// Clips: test pictures made by ffmpeg from its built-in sources, read back as
// raw RGBA frames. Small (160 x 90 by default) and short, so that a test can
// build a few in well under a second.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tests
{

struct Clip
{
	int width = 0;
	int height = 0;
	// One picture per frame, RGBA, rows from the top down as ffmpeg writes them.
	std::vector<std::vector<std::uint8_t>> frames;
};

// Runs `ffmpeg -f lavfi -i <graph>` and reads every frame it writes at the
// given size. An empty clip when ffmpeg cannot be run (error says why).
Clip MakeClip(const std::string& graph, int width, int height, std::string& error);

// As MakeClip, but hands each frame to take as it arrives, so that a long or
// large clip is never held whole. False when ffmpeg fails (error says why).
bool ForEachFrame(const std::string& graph, int width, int height,
	const std::function<void(const std::uint8_t*)>& take, std::string& error);

} // namespace tests
