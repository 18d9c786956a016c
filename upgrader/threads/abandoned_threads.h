#pragma once

#include <chrono>
#include <memory>
#include <thread>

#include "upgrader/threads/thread_run.h"

namespace upgrader {

// Keeps the thread of an abandoned run, which ends at its work's next
// checkpoint, until it can be joined: by a later call once it has ended, and
// at the latest when the program exits, before the exit handlers registered
// so far (libcurl's and OpenSSL's among them) tear down what a thread still
// inside a transfer uses.
void KeepUntilEnded(std::thread thread, std::shared_ptr<TauThreadRun> run);

// Joins the kept threads, waiting at most `limit` for those still running;
// a thread that does not end by then is left to the system.
void JoinAbandonedThreads(std::chrono::milliseconds limit);

}  // namespace upgrader
