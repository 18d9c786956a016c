#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace replacer {

// How long the replacer waits for a program it depends on. Only the replacer
// built for the tests shortens them.
struct ReplacerLimits {
    // For the old program (and a setup program) to let go of its file.
    std::chrono::milliseconds ProgramEnd{60000};
};

// The replacer's whole work for its parameters (argv without its own path):
// wait for the old program to end, put the downloaded files in place (those
// the list beside the replacer names, or without a list every ".uTMP" file),
// run the setup program in setup mode, and start the program again with the
// restart parameters. The process exit code.
int RunReplacer(const std::vector<std::string>& Params, const ReplacerLimits& Limits = {});

}  // namespace replacer
