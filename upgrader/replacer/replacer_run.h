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
    // For the new program to say it is up. Its first start on a cold disk
    // (the engine's files read for the first time, its profile created) takes
    // seconds on a slow machine; 90 s is far beyond that, and short enough
    // that a user who waits for the window sees the old one come back.
    std::chrono::milliseconds Confirmation{90000};
    // Called at each step of a self-upgrade ("journal-written",
    // "first-renamed", "waiting", "undoing"): the tests stop there.
    void (*AtStep)(const char* Step) = nullptr;
};

// The replacer's whole work for its parameters (argv without its own path):
// wait for the old program to end, put the downloaded files in place (those
// the list beside the replacer names, or without a list every ".uTMP" file),
// run the setup program in setup mode, and start the program again with the
// restart parameters. A self-upgrade installs all of its files or none,
// journals itself beside the program, keeps the replaced files and waits for
// the new program to confirm it is up; when it does not, the old files are
// put back, the version is recorded as refused and the old program started.
// The process exit code.
int RunReplacer(const std::vector<std::string>& Params, const ReplacerLimits& Limits = {});

}  // namespace replacer
