// `ffgl-host validate [--json] MODULE`: a conformance check that a plug-in
// author can run on any FFGL 2.1 effect, source or mixer module.
//
// It loads the module as a host does and puts it through a fixed series of
// checks, each reported as one line "PASS|WARN|FAIL  <check>  <detail>":
// identity records; the parameter answers of every code agreeing with each
// other (count, names, types, defaults, ranges, elements, texts terminated);
// set and get round trips with edge values (0, 1, 0.5, -1, 2, NaN, infinities)
// with the display texts read back; host buffers (codes 50, 51, 46) written
// within the size the host gave; instances created and deleted again; frames
// with too few or null input textures refused without drawing; the GL bindings
// and enables back at their defaults after every frame; and no GL object or
// file descriptor left over after 100 instance cycles. The instance checks run
// in a headless OpenGL context; without one they are reported as WARN and
// skipped.
//
// A summary line follows the checks. With --json the report is one JSON object
// instead: {"module", "checks": [{"check", "status", "detail"}], "summary":
// {"pass", "warn", "fail"}, "result"}.
//
// Exit status: 0 when no check failed, kExitModuleError (1) when one did or
// the module cannot be loaded, kExitUsage (2) for wrong arguments, and
// CrashGuard::kExitStatus (3) when the module crashes (the checks so far have
// then been printed, in text mode).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ffgltool
{

int RunValidateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ffgltool
