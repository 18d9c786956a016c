#include "upgrader/replacer/watchdog.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
// glibc 2.36 declares the pidfd calls without C linkage.
extern "C" {
#include <sys/pidfd.h>
}

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "common/running_executable.h"
#include "upgrader/replacer/backups.h"
#include "upgrader/replacer/own_folder.h"
#include "upgrader/replacer/process_start.h"
#include "upgrader/replacer/small_files.h"
#include "upgrader/replacer/start_confirmation.h"
#include "upgrader/replacer/unfinished_upgrade.h"

extern char** environ;

namespace replacer {

namespace {

constexpr std::chrono::milliseconds kEndGrace{5000};

// This process's environment with the pipe's end named for the program.
std::vector<std::string> EnvironmentWith(int WriteEnd) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view entry(*variable);
        if (!entry.starts_with(std::string(kConfirmVariable) + '=') &&
            !entry.starts_with(std::string(kWatchdogVariable) + '='))
            variables.emplace_back(entry);
    }
    variables.push_back(std::string(kConfirmVariable) + '=' + std::to_string(WriteEnd));
    variables.push_back(std::string(kWatchdogVariable) + "=1");
    return variables;
}

void SendSignal(int ProcessFd, pid_t Process, int Signal) {
    if (ProcessFd >= 0)
        ::pidfd_send_signal(ProcessFd, Signal, nullptr, 0);
    else
        ::kill(Process, Signal);
}

// A program silent past the limit is asked to end; a client that shuts down
// then hands its process back.
StartOutcome EndSilentProgram(int ReadEnd, int ProcessFd, pid_t Process) {
    SendSignal(ProcessFd, Process, SIGTERM);
    const StartOutcome outcome = AwaitStartWord(ReadEnd, ProcessFd, kEndGrace);
    if (outcome != StartOutcome::TimedOut)
        return outcome;
    SendSignal(ProcessFd, Process, SIGKILL);
    return StartOutcome::Ended;
}

void KeepOrUndo(StartOutcome Outcome, const std::string& Path,
                const std::vector<std::string>& Arguments, TJournalFile& Journal,
                const WatchdogLimits& Limits) {
    if (Outcome == StartOutcome::Confirmed) {
        RemoveEarlierBackups(FolderOf(Path), Journal.Journal());
        Journal.Remove();
        return;
    }
    Journal.MarkFailed();
    if (Limits.Undoing)
        Limits.Undoing();
    UndoPendingUpgrade(Journal, Path);
    if (Outcome != StartOutcome::HandedBack)
        StartProgram(Path, Arguments);
}

[[noreturn]] void Watch(int ReadEnd, int ProcessFd, pid_t Process, const std::string& Path,
                        const std::vector<std::string>& Arguments, TJournalFile& Journal,
                        TOwnFolder* Folder, const WatchdogLimits& Limits) {
    // Nothing of ours keeps a reader of the program's output waiting.
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    ::dup2(nothing, STDIN_FILENO);
    ::dup2(nothing, STDOUT_FILENO);
    if (Limits.Waiting)
        Limits.Waiting();
    StartOutcome outcome = AwaitStartWord(ReadEnd, ProcessFd, Limits.Confirmation);
    if (outcome == StartOutcome::TimedOut)
        outcome = EndSilentProgram(ReadEnd, ProcessFd, Process);
    KeepOrUndo(outcome, Path, Arguments, Journal, Limits);
    if (Folder)
        Folder->Release();
    ::_exit(0);
}

// Runs Watch in a grandchild, which the system hands to its reaper; true
// once it runs.
bool ForkWatchdog(const std::function<void()>& Watch) {
    const pid_t middle = ::fork();
    if (middle < 0)
        return false;
    if (middle == 0) {
        const pid_t watchdog = ::fork();
        if (watchdog == 0)
            Watch();
        ::_exit(watchdog > 0 ? 0 : 1);
    }
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Once nobody holds the journal (its watchdog has finished), whatever it
// still records is for the next start to finish.
void WaitUntilJournalFree(const std::string& Path) {
    const int journal = ::open(Path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (journal < 0)
        return;
    while (::flock(journal, LOCK_EX) != 0 && errno == EINTR) {
    }
    ::close(journal);
}

int ExecRestored(const std::string& Path, const std::vector<std::string>& Arguments) {
    ::unsetenv(kConfirmVariable);
    ::unsetenv(kWatchdogVariable);
    ExecProgram(Path, Arguments);
    std::perror("quorvane: cannot start the restored program");
    return 1;
}

// The start of the new program failed before it was up: the old version,
// once its watchdog has put it back, runs in this process instead.
int HandBack(int WriteEnd, const std::string& Path, const std::vector<std::string>& Arguments) {
    // A watchdog that is gone must not end this process with SIGPIPE.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &previous);
    (void)!::write(WriteEnd, "0", 1);
    ::sigaction(SIGPIPE, &previous, nullptr);
    ::close(WriteEnd);
    WaitUntilJournalFree(Path + kPendingUpgradeSuffix);
    return ExecRestored(Path, Arguments);
}

}  // namespace

int ExecUnderWatchdog(const std::string& Path, const std::vector<std::string>& Arguments,
                      TJournalFile& Journal, TOwnFolder* Folder, const WatchdogLimits& Limits) {
    const pid_t self = ::getpid();
    const int processFd = ::pidfd_open(self, 0);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0 || !ForkWatchdog([&] {
            ::close(ends[1]);
            Watch(ends[0], processFd, self, Path, Arguments, Journal, Folder, Limits);
        })) {
        // Nobody could watch the new version: the old one runs instead.
        Journal.MarkFailed();
        UndoPendingUpgrade(Journal, Path);
        return ExecRestored(Path, Arguments);
    }
    ::close(ends[0]);
    if (processFd >= 0)
        ::close(processFd);
    ::fcntl(ends[1], F_SETFD, 0);
    std::vector<std::string> environment = EnvironmentWith(ends[1]);
    ExecProgram(Path, Arguments, &environment);
    return HandBack(ends[1], Path, Arguments);
}

TWatchedStart TWatchedStart::FromEnvironment() {
    TWatchedStart start;
    const char* watched = std::getenv(kWatchdogVariable);
    struct stat status {};
    if (watched == nullptr || std::strcmp(watched, "1") != 0 ||
        (start.pipe_ = InheritedConfirmationPipe()) < 0 || ::fstat(start.pipe_, &status) != 0)
        return TWatchedStart();
    start.pipeId_ = FileId(status.st_dev, status.st_ino);
    return start;
}

int TWatchedStart::Finish(int ExitCode, char** Argv) const {
    struct stat status {};
    // The client closes the pipe once it has said it is up.
    if (pipe_ < 0 || ::fstat(pipe_, &status) != 0 ||
        FileId(status.st_dev, status.st_ino) != pipeId_)
        return ExitCode;
    return HandBack(pipe_, common::RunningExecutablePath(), ArgumentsAfterProgram(Argv));
}

}  // namespace replacer
