// ModuleChecks: the answers a module gives before any instance exists, and
// its de-initialisation at the end: the identity records (code 0 and 13),
// initialisation (code 34), the capabilities (code 10) and code 2.
//
// Each check adds one record to the report. Those returning bool answer
// whether the later checks can go on.
#pragma once

#include "tools/validate/Validation.h"

namespace ffgltool::validate
{

// "identity": an ID of four printable characters, a name, API 2.x, a known
// type (kept in validation.pluginType).
bool CheckIdentity(Validation& validation);
// "extended-info": the extended record, its texts and its data block readable.
void CheckExtendedInfo(Validation& validation);
// "initialise": code 34 succeeds, also when repeated.
bool CheckInitialise(Validation& validation);
// "capabilities": plausible answers; the input counts are kept in validation.
void CheckCapabilities(Validation& validation);
// "deinitialise": code 2 succeeds and the module answers again afterwards.
void CheckDeinitialise(Validation& validation);

} // namespace ffgltool::validate
