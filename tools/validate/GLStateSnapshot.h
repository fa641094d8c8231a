// GLStateSnapshot: the GL state a plug-in must leave as it found it, read
// before and after a frame: bindings (texture units 0 to 7 and their samplers
// included), enables, the viewport and the pixel-store alignments.
//
// Reading it needs a current context; it leaves the active texture unit as it
// was.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ffgltool::validate
{

struct GLStateSnapshot
{
	std::vector<std::pair<std::string, int>> values;

	static GLStateSnapshot Read();
	// "<what> is <now>, was <before>" for the first difference, or empty.
	std::string DifferenceFrom(const GLStateSnapshot& before) const;
};

} // namespace ffgltool::validate
