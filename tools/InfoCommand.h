// `ffgl-host info MODULE`: what a host sees of a plug-in module.
//
// Loads the module, reads its identity records (codes 0 and 13), initialises
// it (code 34), asks its capabilities (code 10) and every parameter's name,
// type, default and range (codes 4, 5, 15, 6, 41). For the default display
// texts it creates one instance (code 18, small viewport, with a headless GL
// context current, as a host has its own) and reads code 7. Without a GL
// context, or when the module refuses the instance, the report says which,
// without display texts; neither changes the exit status. It ends with code 19
// and code 2, then unloads. Numbers are shown as a host's slider shows them, to
// six significant digits.
//
// A module that cannot be loaded, exports no plugMain or answers nonsense (a
// null or unreadable info record, a failed initialisation, a failed or absurd
// parameter count, a missing parameter name, an unreadable or unterminated
// text) gives one error line on err and kExitModuleError.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ffgltool
{

// More parameters than this is taken as a broken count, not a plug-in.
constexpr unsigned int kMaxParameters = 4096;

int RunInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ffgltool
