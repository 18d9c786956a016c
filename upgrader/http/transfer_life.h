#pragma once

#include <atomic>

#include "upgrader/threads/thread_run.h"

namespace upgrader {

// How far one transfer has come towards its end, shared by its component (on
// the GUI thread) and its worker. The state is a set of marks; a mark is only
// ever set, never cleared, and each is set by one side only:
//
//   mark             set by                          from then on
//   abort requested  the component's Abort           the worker stops at its next checkpoint
//                                                    and from within libcurl; a transfer that
//                                                    ends anyway ends as aborted
//   detached         the component letting go (a     no worker-side handler starts; the worker
//                    forced abort, its next          stops at its next checkpoint
//                    transfer, its destruction)
//   stopped          the worker: a checkpoint said   the worker does no more work; it reports
//                    stop, a request ended stopped,  the abort unless its run was abandoned
//                    its run was abandoned during
//                    a call on the GUI thread
//
// The worker's run is asked here only: its checkpoint (suspended, terminated,
// abandoned) and, after a call on the GUI thread, its abandonment.
class TauTransferLife {
  public:
    // The component's side.
    void RequestAbort() { marks_ |= kAbortRequested; }
    void Detach() { marks_ |= kDetached; }
    bool AbortRequested() const { return Has(kAbortRequested); }
    bool Detached() const { return Has(kDetached); }

    // The worker's side; Run is the worker's run (null without one).
    // A checkpoint: waits while the run is suspended; false, and stopped,
    // once the transfer is to stop.
    bool Go(TauThreadRun* Run);
    // The same question without waiting and without marking, from libcurl.
    bool StopRequested(const TauThreadRun* Run) const;
    // After a call on the GUI thread: false, and stopped, when the run was
    // abandoned meanwhile (its component may be gone).
    bool GoOnAfterGuiCall(const TauThreadRun* Run);
    void Stop() { marks_ |= kStopped; }
    bool Stopped() const { return Has(kStopped); }

  private:
    enum Mark : unsigned { kAbortRequested = 1, kDetached = 2, kStopped = 4 };

    bool Has(unsigned Marks) const { return (marks_.load() & Marks) != 0; }

    std::atomic<unsigned> marks_{0};
};

}  // namespace upgrader
