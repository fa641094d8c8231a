// `ffgl-host send --port P --layer N`: sends one next-clip message, built and
// sent by the guard's own sender, so that a technician can check before the
// show that the host switches the layer, without pulling a cable.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ffgltool
{

int RunSendCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ffgltool
