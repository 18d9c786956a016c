#include "upgrader/threads/thread_run.h"

#include <unistd.h>

namespace upgrader {

namespace {
thread_local std::shared_ptr<TauThreadRun> currentRun;
}

std::shared_ptr<TauThreadRun> TauThreadRun::Current() {
    return currentRun;
}

bool TauThreadRun::Checkpoint() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [&] { return suspendCount_ == 0 || StopRequested(); });
    return !StopRequested();
}

void TauThreadRun::Terminate() {
    {
        std::lock_guard lock(mutex_);
        terminated_ = true;
    }
    wake_.notify_all();
}

bool TauThreadRun::Abandon() {
    bool idle = false;
    {
        std::lock_guard lock(mutex_);
        terminated_ = true;
        abandoned_ = true;
        idle = !workBegan_ || ended_;
    }
    wake_.notify_all();
    return idle;
}

bool TauThreadRun::WaitEnded(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    return wake_.wait_until(lock, deadline, [&] { return ended_; });
}

bool TauThreadRun::WaitUntilResumed() {
    std::unique_lock lock(mutex_);
    threadId_ = ::gettid();
    wake_.notify_all();
    wake_.wait(lock, [&] { return suspendCount_ == 0 || StopRequested(); });
    if (StopRequested())
        return false;
    workBegan_ = true;
    running_ = true;
    return true;
}

void TauThreadRun::RunSteps() {
    try {
        if (steps_.work && !Abandoned())
            steps_.work();
    } catch (...) {
        // Without HandleExceptions nobody hears of it; either way the
        // exception ends here, never at the thread's boundary.
        if (steps_.handleExceptions && steps_.reportException && !Abandoned()) {
            try {
                steps_.reportException();
            } catch (...) {
            }
        }
    }
    try {
        if (steps_.finish && !Abandoned())
            steps_.finish();
    } catch (...) {
    }
}

void TauThreadRun::Procedure(std::shared_ptr<TauThreadRun> run) {
    if (run->WaitUntilResumed()) {
        currentRun = run;
        run->RunSteps();
        currentRun.reset();
    }
    std::function<void()> ended;
    {
        std::lock_guard lock(run->mutex_);
        run->running_ = false;
        run->ended_ = true;
        ended = std::move(run->steps_.ended);
    }
    run->wake_.notify_all();
    if (ended)
        ended();
}

}  // namespace upgrader
