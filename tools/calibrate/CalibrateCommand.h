// `ffgl-host calibrate --live FILE --dropout FILE --size WxH [--fps N]
// [--hold S] [--json] [--plot FILE.svg] [--trace FILE.csv]`: finds the black
// guard's settings for a source from two raw RGBA recordings of it, the live
// picture at its darkest and the drop-out, measured with the guard's own
// measure. Needs no GL context.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ffgltool
{

int RunCalibrateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ffgltool
