// `ffgl-host run MODULE [OPTIONS]`: drives a plug-in module frame by frame the
// way a host does, headless, and shows the OSC messages it sends.
//
// It makes a headless OpenGL 4.1 context current and an output framebuffer of
// the run's size, instantiates the module for that viewport (code 18), sets
// parameters by name (code 8), then for each input frame uploads the picture
// into a texture, binds the output framebuffer and calls code 17, paced in real
// time because plug-ins measure real time. Meanwhile it listens on 127.0.0.1
// on the port the module's "OSC Port" parameter displays (or --listen) and
// prints every datagram that arrives, decoded, with the frame number and the
// time since the first frame. It ends with code 19, code 2 and a summary.
//
// Effects (one input) and sources (no input) can be run; mixers cannot. The
// full option list is in the text that `ffgl-host run --help` prints.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ffgltool
{

int RunRunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ffgltool
