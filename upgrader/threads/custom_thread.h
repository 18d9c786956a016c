#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "upgrader/threads/event_thread.h"
#include "upgrader/threads/gui_call.h"
#include "upgrader/threads/thread_priority.h"
#include "upgrader/threads/thread_run.h"
#include "upgrader/utils/wait_for_signal.h"

namespace upgrader {

class TauCustomThread;

using TauThreadEvent = std::function<void(TauCustomThread* Sender)>;
using TauWaitTimeoutEvent = std::function<void(TauCustomThread* Sender, bool& Terminate)>;

// A worker component: runs OnExecute on a worker thread of its own and
// reports to the GUI thread (OnException when the work raised, OnFinish when
// it is done). Owned by its QObject parent and destroyed with it.
//
// Every Execute starts a new OS thread. The work polls its run's stop state
// at its checkpoints: TauThreadRun::Current()->Checkpoint(). A forced stop
// (Terminate(true), a second Execute, destroying the component) abandons the
// run at once: the component has a fresh, unstarted worker, no handler of the
// abandoned run is called, and Synchronize of that run does nothing. The
// abandoned work goes on until its next checkpoint, so it must keep alive
// what it touches there itself (shared state), not rely on the component.
class TauCustomThread : public QObject {
  public:
    explicit TauCustomThread(QObject* Owner = nullptr);
    ~TauCustomThread() override;

    // Starts one run on a new OS thread; true, or with WaitForCompletion and
    // an expired WaitTimeout the negation of OnWaitTimeout's Terminate.
    bool Execute();
    // Without Force, asks the work to stop at its next checkpoint. With Force,
    // abandons the run (see above). Called by the work on its own worker,
    // Force ends the run's dealings with the component: no OnFinish follows,
    // and the work should return right after.
    void Terminate(bool Force = false);
    void Suspend();
    void Resume();
    // From the work: runs Method on the GUI thread and waits for it. An
    // exception of Method is dropped with HandleExceptions, else raised again
    // on the worker. Does nothing once the run is abandoned or the component
    // is being destroyed; on the GUI thread it calls Method directly.
    void Synchronize(const std::function<void()>& Method);

    bool Terminated() const { return thread_->Terminated(); }
    // From the start of OnExecute until after OnFinish returned.
    bool Running() const { return thread_->Running(); }
    bool Suspended() const { return thread_->Suspended(); }
    quint32 ThreadID() const { return thread_->ThreadID(); }
    // Read from and written to the OS thread; a value the system refuses
    // keeps the previous one.
    TThreadPriority Priority() const { return thread_->Priority(); }
    void SetPriority(TThreadPriority Value) { thread_->SetPriority(Value); }

    bool HandleExceptions = true;
    // After OnFinish the component's owner (its parent) is deleted (later,
    // from the event loop).
    bool FreeOwnerWhenDone = false;
    // Execute returns only when the run ended, WaitTimeout expired, the
    // component is being destroyed or the application quits; the GUI thread
    // goes on serving events meanwhile.
    bool WaitForCompletion = false;
    quint32 WaitTimeout = 0;  // milliseconds, 0 for no limit

    TauThreadEvent OnExecute;  // on the worker
    TauThreadEvent OnException;
    TauThreadEvent OnFinish;
    TauWaitTimeoutEvent OnWaitTimeout;

  private:
    void ReplaceThread();
    TauRunSteps StepsOfRun(const std::shared_ptr<TauThreadRun>& run);
    void Finish(const std::shared_ptr<TauThreadRun>& run);
    void ReportException(const std::shared_ptr<TauThreadRun>& run);
    bool WaitForRun(const std::shared_ptr<TauThreadRun>& run);

    std::unique_ptr<TauEventThread> thread_;
    // Shared with a wait in progress, which may outlive the component.
    std::shared_ptr<TauSignal> runEnded_ = std::make_shared<TauSignal>();
    bool destroying_ = false;
};

// Runs the call on the GUI thread for the run and waits for it; nothing once
// the run is abandoned. An exception of the call is raised again here when
// the run does not handle exceptions.
void SynchronizeRun(const std::shared_ptr<TauThreadRun>& run, const std::function<void()>& call);

// The same in two halves, so that the worker goes on while the call runs:
// the start (null once the run is abandoned) and the wait for its end.
std::shared_ptr<PendingGuiCall> StartRunCall(const std::shared_ptr<TauThreadRun>& run,
                                             std::function<void()> call);
void FinishRunCall(const std::shared_ptr<TauThreadRun>& run,
                   const std::shared_ptr<PendingGuiCall>& started);

}  // namespace upgrader
