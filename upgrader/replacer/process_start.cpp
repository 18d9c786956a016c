#include "upgrader/replacer/process_start.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace replacer {

namespace {

std::vector<char*> Pointers(std::vector<std::string>& Texts) {
    std::vector<char*> pointers;
    for (std::string& text : Texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The program's argument vector: its path, then Arguments.
std::vector<std::string> ArgumentVector(const std::string& Path,
                                        const std::vector<std::string>& Arguments) {
    std::vector<std::string> argv{Path};
    argv.insert(argv.end(), Arguments.begin(), Arguments.end());
    return argv;
}

}  // namespace

pid_t StartProgram(const std::string& Path, const std::vector<std::string>& Arguments) {
    std::vector<std::string> argv = ArgumentVector(Path, Arguments);
    pid_t process = -1;
    if (::posix_spawn(&process, Path.c_str(), nullptr, nullptr, Pointers(argv).data(), environ) !=
        0)
        process = -1;
    return process;
}

void ExecProgram(const std::string& Path, const std::vector<std::string>& Arguments,
                 std::vector<std::string>* Environment) {
    std::vector<std::string> argv = ArgumentVector(Path, Arguments);
    std::vector<char*> environmentPointers;
    if (Environment)
        environmentPointers = Pointers(*Environment);
    ::execve(Path.c_str(), Pointers(argv).data(),
             Environment ? environmentPointers.data() : environ);
}

void CloseInheritedDescriptors() {
    if (::close_range(3, ~0U, 0) == 0)
        return;
    const long limit = ::sysconf(_SC_OPEN_MAX);
    for (int descriptor = 3; descriptor < (limit > 0 ? limit : 1024) && descriptor < 65536;
         ++descriptor)
        ::close(descriptor);
}

void WaitForProgram(pid_t Process) {
    int status = 0;
    while (::waitpid(Process, &status, 0) < 0 && errno == EINTR) {
    }
}

std::vector<std::string> ArgumentsAfterProgram(char** Argv) {
    std::vector<std::string> arguments;
    for (char** argument = Argv + (*Argv != nullptr ? 1 : 0); *argument != nullptr; ++argument)
        arguments.emplace_back(*argument);
    return arguments;
}

void ReapEndedChildren() {
    int status = 0;
    while (::waitpid(-1, &status, WNOHANG) > 0) {
    }
}

}  // namespace replacer
