#include "upgrader/replacement/upgrade_confirmation.h"

#include <fcntl.h>
#include <unistd.h>

#include "upgrader/replacer/start_confirmation.h"

namespace upgrader {

namespace {

int confirmationPipe = -1;

}  // namespace

void TakeUpgradeConfirmation() {
    const int descriptor = replacer::InheritedConfirmationPipe();
    ::unsetenv(replacer::kConfirmVariable);
    ::unsetenv(replacer::kWatchdogVariable);
    if (descriptor < 0 || ::fcntl(descriptor, F_SETFD, FD_CLOEXEC) != 0)
        return;
    confirmationPipe = descriptor;
}

bool UpgradeConfirmationAwaited() {
    return confirmationPipe >= 0;
}

void ConfirmUpgradeStarted() {
    if (confirmationPipe < 0)
        return;
    (void)!::write(confirmationPipe, "1", 1);
    ::close(confirmationPipe);
    confirmationPipe = -1;
}

}  // namespace upgrader
