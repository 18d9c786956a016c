#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace replacer {

// Starts the program at Path with the given arguments after its own path,
// directly (posix_spawn, no shell), in the replacer's folder and environment.
// The process id, or -1 when it could not be started.
pid_t StartProgram(const std::string& Path, const std::vector<std::string>& Arguments);

// Waits until the started program has ended.
void WaitForProgram(pid_t Process);

}  // namespace replacer
