#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace replacer {

// Starts the program at Path with the given arguments after its own path,
// directly (posix_spawn, no shell), in the replacer's folder, with the
// replacer's environment. The process id, or -1 when it could not be
// started.
pid_t StartProgram(const std::string& Path, const std::vector<std::string>& Arguments);

// Executes the program at Path in this process, with the given arguments
// after its own path and this process's environment or the Environment
// given. Returns only when it could not be executed.
void ExecProgram(const std::string& Path, const std::vector<std::string>& Arguments,
                 std::vector<std::string>* Environment = nullptr);

// Descriptors inherited from the old program would keep parts of it alive
// (the engine's helper processes end only when their sockets close), and
// with them the program file the replacer waits for; the restarted program
// must not inherit them either. Closes all but the standard three.
void CloseInheritedDescriptors();

// Waits until the started program has ended.
void WaitForProgram(pid_t Process);

// A program's arguments after its own path, from its null-ended argv.
std::vector<std::string> ArgumentsAfterProgram(char** Argv);

// Collects the children that have ended, without waiting for the others.
void ReapEndedChildren();

}  // namespace replacer
