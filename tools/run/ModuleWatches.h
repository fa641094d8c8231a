// ModuleWatches: the one table from a watching module's four-character ID to
// its watch (ModuleWatch), composed as the module composes it:
//   "TNBX"  the black guard: its sliders, the black rule and one arming, 5 x 5 grid
//   "TNBW"  the Watch: its sliders, the black and still rules behind one arming, 40 x 24 cells
#pragma once

#include "tools/run/ModuleWatch.h"

#include <memory>
#include <string>

namespace ffgltool
{

extern const char kBlackGuardId[];
extern const char kWatchId[];

// A new watch at the module's default sliders; null for a module without one.
std::unique_ptr<ModuleWatch> FindModuleWatch(const std::string& id);

} // namespace ffgltool
