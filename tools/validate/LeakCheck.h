// LeakCheck: what instances leave behind in the host process. After two
// warm-up cycles, 100 cycles of instantiate, one frame and deinstantiate must
// leave no more live GL objects and no more open file descriptors than before.
#pragma once

#include "tools/validate/FrameRig.h"
#include "tools/validate/Validation.h"

namespace ffgltool::validate
{

// "lifecycle-leaks"; fails too when code 18 refuses an instance on the way.
void CheckLifecycleLeaks(Validation& validation, FrameRig& rig);

} // namespace ffgltool::validate
