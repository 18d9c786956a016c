#include "upgrader/threads/abandoned_threads.h"

#include <cstdlib>
#include <mutex>
#include <vector>

namespace upgrader {

namespace {

// How long the program's exit waits for abandoned work: a transfer notices
// within a quarter of a second; only a handler that never returns is left.
constexpr std::chrono::seconds kLongestExitWait{5};

struct KeptThread {
    std::thread thread;
    std::shared_ptr<TauThreadRun> run;
};

std::mutex keptMutex;
// Never freed: threads may still be kept while static objects go.
auto* const kept = new std::vector<KeptThread>;

void JoinAtExit() {
    JoinAbandonedThreads(kLongestExitWait);
}

}  // namespace

void KeepUntilEnded(std::thread thread, std::shared_ptr<TauThreadRun> run) {
    std::lock_guard lock(keptMutex);
    std::erase_if(*kept, [](KeptThread& old) {
        if (!old.run->WaitEnded(std::chrono::steady_clock::now()))
            return false;
        old.thread.join();
        return true;
    });
    kept->push_back({std::move(thread), std::move(run)});
    // Registered anew each time: exit handlers run newest first, so this one
    // comes before those libcurl and OpenSSL registered since the last.
    std::atexit(JoinAtExit);
}

void JoinAbandonedThreads(std::chrono::milliseconds limit) {
    std::vector<KeptThread> threads;
    {
        std::lock_guard lock(keptMutex);
        threads.swap(*kept);
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (KeptThread& abandoned : threads) {
        if (abandoned.run->WaitEnded(deadline))
            abandoned.thread.join();
        else
            abandoned.thread.detach();
    }
}

}  // namespace upgrader
