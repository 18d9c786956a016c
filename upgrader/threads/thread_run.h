#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "upgrader/threads/thread_priority.h"

namespace upgrader {

// What a run does on its worker, set by the component before it starts.
struct TauRunSteps {
    std::function<void()> work;             // OnExecute
    std::function<void()> reportException;  // after the work raised
    std::function<void()> finish;           // after the work, marshalled
    std::function<void()> ended;            // the OS thread is about to end
    bool handleExceptions = true;
    const void* owner = nullptr;  // the component that started it
};

// One run of a worker: shared by the component's side and the OS thread, so
// it outlives both. Its work sees through it whether it should stop.
class TauThreadRun {
  public:
    // The run whose worker calls this; null on any other thread.
    static std::shared_ptr<TauThreadRun> Current();

    // A cooperative stop was asked for (Terminate without Force).
    bool Terminated() const { return terminated_.load(); }
    // The run was stopped by force: the component has a fresh worker and no
    // handler of this run is called any more. The work should return at once
    // and touch nothing it does not keep alive itself.
    bool Abandoned() const { return abandoned_.load(); }
    bool StopRequested() const { return Terminated() || Abandoned(); }
    // A checkpoint of the work: waits while the run is suspended; true while
    // the work may go on.
    bool Checkpoint();

    bool HandleExceptions() const { return steps_.handleExceptions; }
    bool StartedBy(const void* owner) const { return steps_.owner == owner; }

    // Asks for a cooperative stop.
    void Terminate();
    // Stops by force: no handler of the run is called any more. True when
    // its thread runs no work (not yet, or no more), so it ends at once.
    bool Abandon();
    // Waits until the thread has left the run (or the deadline passed);
    // true when it has.
    bool WaitEnded(std::chrono::steady_clock::time_point deadline);

  private:
    friend class TauEventThread;

    static void Procedure(std::shared_ptr<TauThreadRun> run);
    bool WaitUntilResumed();
    void RunSteps();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    int suspendCount_ = 1;  // created suspended
    bool started_ = false;  // Start() handed the steps over
    bool workBegan_ = false;
    bool ended_ = false;
    pid_t threadId_ = 0;
    TThreadPriority priority_ = tpNormal;  // kept for when the thread is gone
    TauRunSteps steps_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> abandoned_{false};
    std::atomic<bool> running_{false};
};

}  // namespace upgrader
