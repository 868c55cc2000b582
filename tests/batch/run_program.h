// Runs a program as a child process for a test and gathers what it did.
//
// The child's standard input is `input`; its standard output and error are
// collected whole. With `error_to_terminal` its standard error is a
// pseudo-terminal, as when a person watches it. Blocks until the child has
// ended. Call from the test's thread.
#pragma once

#include <string>
#include <vector>

namespace batch_test {

struct ProgramRun {
  int exit_code;  // -1 when the child did not end normally
  std::string output;
  std::string error;
};

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& input = "",
                      bool error_to_terminal = false);

}  // namespace batch_test
