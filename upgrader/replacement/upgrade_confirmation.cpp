#include "upgrader/replacement/upgrade_confirmation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "upgrader/replacer/start_confirmation.h"

namespace upgrader {

namespace {

int confirmationPipe = -1;

// The descriptor the variable names, when it is the write end of a pipe.
int PipeNamed(const char* Text) {
    if (Text == nullptr || *Text == '\0')
        return -1;
    char* end = nullptr;
    const long descriptor = std::strtol(Text, &end, 10);
    struct stat status {};
    if (*end != '\0' || descriptor < 3 || descriptor > 65535 ||
        ::fstat(int(descriptor), &status) != 0 || !S_ISFIFO(status.st_mode))
        return -1;
    return int(descriptor);
}

}  // namespace

void TakeUpgradeConfirmation() {
    const int descriptor = PipeNamed(std::getenv(replacer::kConfirmVariable));
    ::unsetenv(replacer::kConfirmVariable);
    ::unsetenv(replacer::kWatchdogVariable);
    if (descriptor < 0 || ::fcntl(descriptor, F_SETFD, FD_CLOEXEC) != 0)
        return;
    confirmationPipe = descriptor;
}

void ConfirmUpgradeStarted() {
    if (confirmationPipe < 0)
        return;
    (void)!::write(confirmationPipe, "1", 1);
    ::close(confirmationPipe);
    confirmationPipe = -1;
}

}  // namespace upgrader
