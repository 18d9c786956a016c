#include "upgrader/replacer/process_start.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace replacer {

pid_t StartProgram(const std::string& Path, const std::vector<std::string>& Arguments) {
    std::vector<std::string> argv{Path};
    argv.insert(argv.end(), Arguments.begin(), Arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    pid_t process = -1;
    if (::posix_spawn(&process, Path.c_str(), nullptr, nullptr, pointers.data(), environ) != 0)
        return -1;
    return process;
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

}  // namespace replacer
