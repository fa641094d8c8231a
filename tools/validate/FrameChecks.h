// FrameChecks: frames drawn by one live instance into the rig's host
// framebuffer (code 17): frames with too few or null inputs refused without
// drawing, well-formed frames accepted (also after a resize to 1x1), and the
// GL state as the host left it after every one of those frames.
#pragma once

#include "tools/validate/FrameRig.h"
#include "tools/validate/Validation.h"

#include <algorithm>
#include <cstdint>

namespace ffgltool::validate
{

// The inputs of a well-formed frame: the minimum, and at least one when the
// module takes any.
inline std::uint32_t WellFormedInputCount(const Validation& validation)
{
	return std::max<std::uint32_t>(validation.minInputs, validation.maxInputs > 0 ? 1 : 0);
}

// "frames-refused" (a pass without checking for a module that needs no input).
void CheckRefusedFrames(Validation& validation, FrameRig& rig, void* instance);
// "frames", then "gl-state" for every frame the rig ran, refused ones included.
void CheckFrames(Validation& validation, FrameRig& rig, void* instance);

} // namespace ffgltool::validate
