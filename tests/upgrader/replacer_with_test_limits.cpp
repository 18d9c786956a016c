// The replacer as the tests run it: the shipped one's work, with the wait
// for the new program's confirmation shortened by
// QUORVANE_REPLACER_CONFIRM_MS (a whole number of milliseconds). Only this
// test build reads that variable.
#include <cstdlib>
#include <string>
#include <vector>

#include "upgrader/replacer/process_start.h"
#include "upgrader/replacer/replacer_run.h"

int main(int argc, char** argv) {
    replacer::CloseInheritedDescriptors();
    replacer::ReplacerLimits limits;
    if (const char* wait = std::getenv("QUORVANE_REPLACER_CONFIRM_MS"); wait != nullptr && *wait)
        limits.Confirmation = std::chrono::milliseconds(std::strtoll(wait, nullptr, 10));
    std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
    return replacer::RunReplacer(params, limits);
}
