#pragma once

namespace velmora {

// The program: returns the exit status. 0 on success; 1 when a batch held bad lines or the
// output could not be written; 2 for bad input, with one line on standard error and nothing
// on standard output.
int RunCommandLine(int argc, char** argv);

}  // namespace velmora
