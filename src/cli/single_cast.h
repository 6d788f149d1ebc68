#pragma once

#include "cli/options.h"

namespace velmora {

// Casts the one birth the command line asks for: draws its board into the --chart file when
// one is named, then prints the reading or the chart in the format asked for. Returns the exit
// status; `argc` and `argv` go to the toolkit when the board is drawn as PNG.
int RunSingle(const CommandLineRequest& request, int& argc, char** argv);

}  // namespace velmora
