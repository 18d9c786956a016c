#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace replacer {

// How the new program tells the replacer it is up: it inherits the write end
// of a pipe whose number this variable holds, and writes one byte "1" to it
// once its main window shows and its event loop runs. A program started any
// other way finds no variable and does nothing.
inline constexpr char kConfirmVariable[] = "QUORVANE_UPGRADE_CONFIRM_FD";

enum class StartOutcome {
    Confirmed,   // the program said it is up
    Ended,       // it ended first (an exit, a crash)
    TimedOut,    // it said nothing within the limit and was ended
    NotStarted,  // it could not be started
};

// Starts the program with the arguments and the confirmation pipe, and waits
// for its word at most Limit. A program past the limit is asked to end
// (SIGTERM), then killed. Started, when given, is called once the program
// runs.
StartOutcome StartAndAwaitConfirmation(const std::string& Path,
                                       const std::vector<std::string>& Arguments,
                                       std::chrono::milliseconds Limit,
                                       const std::function<void()>& Started = {});

}  // namespace replacer
