// BlackJudge: whether a frame that `ffgl-host run` drew counts as black, and
// the threshold it is judged against.
//
// The run judges the drawn output with the guard's own measure, so that what
// it prints matches what the guard decides: a frame is black when the
// brightest of 25 points on a 5 x 5 grid (10, 30, 50, 70 and 90 % of each
// side) has a Rec. 709 luma at or below the threshold.
#pragma once

#include <string>
#include <vector>

namespace ffgltool
{

// Reads the guard's 25 points from the bound read framebuffer of the given
// size, through the guard's own measure and reader. A point GL does not read
// counts as white, never as black.
bool OutputIsBlack(int width, int height, float threshold);

// The threshold as a fraction of full luma: what the parameter named "Black
// Threshold" displays when that reads as a percentage ("3.5%"), else 3.5 %.
// names and displays are the module's parameters in order.
float BlackThreshold(const std::vector<std::string>& names, const std::vector<std::string>& displays);

} // namespace ffgltool
