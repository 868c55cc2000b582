// qxtxt-batch from its command line to its exit status: reads and checks
// the inputs, sets the main window's controls from the options, runs the
// window's own job through a BatchToolkit and streams its output.
//
// Contract: call from one thread (the program's main thread). Messages go to
// standard error, and progress too when it is a terminal that the output
// does not go to; the output goes to standard output or the file of -o.
// Returns the exit status: 0 when the job ran, 1 when an input could not be
// read or the output not written, 2 for a wrong command line. On 1 or 2
// before the job started nothing is written.
#pragma once

#include <string>
#include <vector>

namespace batch {

// `args` without the program's name.
int RunBatch(const std::vector<std::string>& args);

}  // namespace batch
