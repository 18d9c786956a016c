#pragma once

#include <chrono>

namespace replacer {

// How the new program tells the watchdog of its upgrade it is up: it
// inherits the write end of a pipe whose number this variable holds, and
// writes one byte "1" to it once its main window shows and its event loop
// runs. A program started any other way finds no variable and does nothing.
inline constexpr char kConfirmVariable[] = "QUORVANE_UPGRADE_CONFIRM_FD";

// Set beside it by a watchdog that waits in a process of its own while the
// new program runs in the process that was started: a start that fails
// before it is up then writes "0" (it hands the process back to the old
// version) instead of ending. Replacers that wait for their child instead
// do not set it, and such a start simply ends.
inline constexpr char kWatchdogVariable[] = "QUORVANE_UPGRADE_WATCHDOG";

// The descriptor kConfirmVariable names when it is the write end of a pipe
// this process inherited; -1 otherwise.
int InheritedConfirmationPipe();

enum class StartOutcome {
    Confirmed,   // the program said it is up
    HandedBack,  // its start failed; its process goes on as the old version
    Ended,       // it ended first (an exit, a crash)
    TimedOut,    // it said nothing within the limit
};

// Waits at most Limit for the program's word on ReadEnd. Its end is seen on
// ProcessFd (a pidfd, readable once it ended) or, without one (-1), when
// every writer has closed the pipe.
StartOutcome AwaitStartWord(int ReadEnd, int ProcessFd, std::chrono::milliseconds Limit);

}  // namespace replacer
