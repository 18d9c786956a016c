#pragma once

#include <string>
#include <vector>

namespace replacer {

// The replacer's whole work for its parameters (argv without its own path):
// wait for the old program to end (at most WaitLimit()), put the downloaded
// files in place, run the setup program in setup mode, and start the program
// again with the restart parameters. The process exit code.
int RunReplacer(const std::vector<std::string>& Params);

}  // namespace replacer
