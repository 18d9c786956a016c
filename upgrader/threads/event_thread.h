#pragma once

#include <QtGlobal>
#include <memory>
#include <thread>

#include "upgrader/threads/thread_run.h"

namespace upgrader {

// One OS thread of a worker component, created suspended: it exists (with
// its thread id and priority) before it runs, and runs its steps once when
// resumed after Start. A component replaces it for every run.
class TauEventThread {
  public:
    TauEventThread();
    // A thread that never ran is resumed and ends at once without running
    // anything; an ended one is joined; a running one is abandoned and
    // joined once it ends (see abandoned_threads.h).
    ~TauEventThread();
    TauEventThread(const TauEventThread&) = delete;
    TauEventThread& operator=(const TauEventThread&) = delete;

    // Hands the run its steps and resumes it once.
    void Start(TauRunSteps steps);
    bool HasEnded() const;

    bool Running() const { return run_->running_.load(); }
    bool Terminated() const { return run_->Terminated(); }
    bool Suspended() const;
    quint32 ThreadID() const;

    // Suspension is honoured before the run starts and at the work's
    // checkpoints; a count: each Suspend needs its Resume.
    void Suspend();
    void Resume();

    // A cooperative stop: the work sees it at its checkpoints.
    void Terminate();
    // A forced stop: the run will call no handler any more; its thread is
    // left to end at the work's next checkpoint.
    void Abandon();

    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority priority);

    const std::shared_ptr<TauThreadRun>& Run() const { return run_; }

  private:
    std::shared_ptr<TauThreadRun> run_;
    std::thread thread_;
};

}  // namespace upgrader
