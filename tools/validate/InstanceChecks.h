// InstanceChecks: what one live instance answers, on the headless context:
// creation and deletion (codes 18, 19), the values a new instance holds
// (code 9), display texts (code 7), set and get round trips with edge values
// (codes 8, 9), host buffers written within the room given (codes 51, 46) and
// the host-state calls (codes 16, 20 to 23, 38 to 40, 49).
//
// Each check adds one record to the report; they read the parameter facts
// that ParameterChecks gathered.
#pragma once

#include "tools/validate/FrameRig.h"
#include "tools/validate/Validation.h"

namespace ffgltool::validate
{

// "instantiate": two instances created and deleted, a null viewport refused.
// False when no instance could be created.
bool CheckInstantiate(Validation& validation, const FrameRig& rig);
// "instance-defaults".
void CheckInstanceDefaults(Validation& validation, void* instance);
// "display-texts".
void CheckDisplayTexts(Validation& validation, void* instance);
// "set-get-round-trips": 0, 1, 0.5, -1, 2, NaN and infinities (texts for text
// parameters); every parameter is set back to its default afterwards.
void CheckRoundTrips(Validation& validation, void* instance);
// "host-buffers".
void CheckInstanceHostBuffers(Validation& validation, void* instance);
// "host-state-calls".
void CheckHostStateCalls(Validation& validation, const FrameRig& rig, void* instance);

} // namespace ffgltool::validate
