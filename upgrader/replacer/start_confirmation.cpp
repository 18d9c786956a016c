#include "upgrader/replacer/start_confirmation.h"

#include "upgrader/replacer/process_start.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace replacer {

namespace {

constexpr std::chrono::milliseconds kPollInterval{50};
constexpr std::chrono::milliseconds kEndGrace{5000};

// The replacer's environment with the confirmation variable naming Descriptor.
std::vector<std::string> EnvironmentWith(int Descriptor) {
    const std::string prefix = std::string(kConfirmVariable) + '=';
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable)
        if (std::strncmp(*variable, prefix.c_str(), prefix.size()) != 0)
            variables.emplace_back(*variable);
    variables.push_back(prefix + std::to_string(Descriptor));
    return variables;
}

bool HasEnded(pid_t Process) {
    int status = 0;
    return ::waitpid(Process, &status, WNOHANG) == Process;
}

void EndProgram(pid_t Process) {
    ::kill(Process, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kEndGrace;
    while (std::chrono::steady_clock::now() < deadline) {
        if (HasEnded(Process))
            return;
        std::this_thread::sleep_for(kPollInterval);
    }
    ::kill(Process, SIGKILL);
    int status = 0;
    ::waitpid(Process, &status, 0);
}

// Reads what has come; true once the program's "1" is among it. Open is
// cleared when every writer has closed its end.
bool ReadConfirmation(int ReadEnd, bool& Open) {
    pollfd ready{ReadEnd, POLLIN, 0};
    if (::poll(&ready, 1, int(kPollInterval.count())) <= 0)
        return false;
    char bytes[16];
    const ssize_t got = ::read(ReadEnd, bytes, sizeof bytes);
    if (got == 0)
        Open = false;
    return got > 0 && std::memchr(bytes, '1', size_t(got)) != nullptr;
}

}  // namespace

StartOutcome StartAndAwaitConfirmation(const std::string& Path,
                                       const std::vector<std::string>& Arguments,
                                       std::chrono::milliseconds Limit,
                                       const std::function<void()>& Started) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return StartOutcome::NotStarted;
    std::vector<std::string> environment = EnvironmentWith(ends[1]);
    const pid_t process = StartProgram(Path, Arguments, &environment, ends[1]);
    ::close(ends[1]);
    if (process <= 0) {
        ::close(ends[0]);
        return StartOutcome::NotStarted;
    }
    if (Started)
        Started();
    const auto deadline = std::chrono::steady_clock::now() + Limit;
    bool open = true;
    StartOutcome outcome = StartOutcome::TimedOut;
    while (std::chrono::steady_clock::now() < deadline) {
        if (open ? ReadConfirmation(ends[0], open) : false) {
            outcome = StartOutcome::Confirmed;
            break;
        }
        if (HasEnded(process)) {
            bool drained = true;
            outcome = open && ReadConfirmation(ends[0], drained) ? StartOutcome::Confirmed
                                                                 : StartOutcome::Ended;
            break;
        }
        if (!open)
            std::this_thread::sleep_for(kPollInterval);
    }
    ::close(ends[0]);
    if (outcome == StartOutcome::TimedOut)
        EndProgram(process);
    return outcome;
}

}  // namespace replacer
