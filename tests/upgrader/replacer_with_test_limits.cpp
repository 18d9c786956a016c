// The replacer as the tests run it: the shipped one's work, with the wait
// for the new program's confirmation shortened by
// QUORVANE_REPLACER_CONFIRM_MS (a whole number of milliseconds), and killed
// (SIGKILL) at the step of a self-upgrade QUORVANE_REPLACER_KILLED_AT names.
// Only this test build reads those variables.
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "upgrader/replacer/process_start.h"
#include "upgrader/replacer/replacer_run.h"

namespace {

void KillAtNamedStep(const char* Step) {
    if (const char* named = std::getenv("QUORVANE_REPLACER_KILLED_AT");
        named != nullptr && std::strcmp(named, Step) == 0)
        ::kill(::getpid(), SIGKILL);
}

}  // namespace

int main(int argc, char** argv) {
    replacer::CloseInheritedDescriptors();
    replacer::ReplacerLimits limits;
    limits.AtStep = KillAtNamedStep;
    if (const char* wait = std::getenv("QUORVANE_REPLACER_CONFIRM_MS"); wait != nullptr && *wait)
        limits.Confirmation = std::chrono::milliseconds(std::strtoll(wait, nullptr, 10));
    std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
    return replacer::RunReplacer(params, limits);
}
