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
// in a headless OpenGL context; without one they cannot run: a WARN line says
// why, and the result is INCOMPLETE.
//
// A summary line follows the checks. With --json the report is one JSON object
// instead: {"module", "checks": [{"check", "status", "detail"}], "summary":
// {"pass", "warn", "fail"}, "result"}; the result is PASS, INCOMPLETE or FAIL.
//
// Exit status: 0 when every check ran and none failed, kExitModuleError (1)
// when one failed or the module cannot be loaded, kExitUsage (2) for wrong
// arguments, CrashGuard::kExitStatus (3) when the module crashes (the checks
// so far have then been printed, in text mode), and kExitRunError (4) when no
// check failed but the GL checks could not run (INCOMPLETE).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ffgltool
{

int RunValidateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ffgltool
