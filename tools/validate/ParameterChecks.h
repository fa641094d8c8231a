// ParameterChecks: the parameter answers of every global code agreeing with
// each other, before any instance exists: the count (code 4), then for each
// parameter its name, type, default, range, usage, visibility, group and file
// extensions (codes 5, 6, 15, 41, 32, 45, 50, 43, 44), its elements and
// separators (codes 31, 35, 36, 47, 48), and numbers past the count refused.
//
// Each check adds one record to the report. CheckParameterCount keeps the
// count in validation and CheckParameterDefinitions the facts of each
// parameter, which the instance checks compare against.
#pragma once

#include "tools/validate/Validation.h"

namespace ffgltool::validate
{

// "parameter-count"; false when no plausible count came back.
bool CheckParameterCount(Validation& validation);
// "parameter-definitions".
void CheckParameterDefinitions(Validation& validation);
// "parameter-elements".
void CheckParameterElements(Validation& validation);
// "unregistered-parameter".
void CheckUnregisteredParameter(Validation& validation);

} // namespace ffgltool::validate
