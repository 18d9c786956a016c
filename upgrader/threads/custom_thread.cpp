#include "upgrader/threads/custom_thread.h"

#include <QPointer>

namespace upgrader {

void SynchronizeRun(const std::shared_ptr<TauThreadRun>& run, const std::function<void()>& call) {
    FinishRunCall(run, StartRunCall(run, call));
}

std::shared_ptr<PendingGuiCall> StartRunCall(const std::shared_ptr<TauThreadRun>& run,
                                             std::function<void()> call) {
    if (run->Abandoned())
        return nullptr;
    return StartOnGuiThread([run, call = std::move(call)] {
        if (!run->Abandoned())
            call();
    });
}

void FinishRunCall(const std::shared_ptr<TauThreadRun>& run,
                   const std::shared_ptr<PendingGuiCall>& started) {
    try {
        WaitForGuiCall(started);
    } catch (...) {
        if (!run->HandleExceptions())
            throw;
    }
}

TauCustomThread::TauCustomThread(QObject* Owner)
    : QObject(Owner), thread_(std::make_unique<TauEventThread>()) {
    PrepareGuiCalls();
}

TauCustomThread::~TauCustomThread() {
    destroying_ = true;
    SignalEvent(*runEnded_);
    thread_.reset();
}

bool TauCustomThread::Execute() {
    // Whatever the current worker went through (a run, a stop, suspensions),
    // the new run starts on a fresh OS thread.
    Terminate(true);
    const std::shared_ptr<TauThreadRun> run = thread_->Run();
    thread_->Start(StepsOfRun(run));
    return WaitForCompletion ? WaitForRun(run) : true;
}

void TauCustomThread::Terminate(bool Force) {
    if (const auto run = TauThreadRun::Current(); run && !IsGuiThread()) {
        // The work stops its own run: only the run's state may be touched
        // from here, the component belongs to the GUI thread.
        if (!run->StartedBy(this))
            return;
        if (Force)
            run->Abandon();
        else
            run->Terminate();
        return;
    }
    if (Force)
        ReplaceThread();
    else
        thread_->Terminate();
}

void TauCustomThread::Suspend() {
    thread_->Suspend();
}

void TauCustomThread::Resume() {
    thread_->Resume();
}

void TauCustomThread::Synchronize(const std::function<void()>& Method) {
    if (IsGuiThread()) {
        if (!destroying_)
            Method();
        return;
    }
    if (const auto run = TauThreadRun::Current())
        SynchronizeRun(run, Method);
    else
        RunOnGuiThread(Method);
}

// A fresh, unstarted worker takes the place of the current one, with its
// priority; the old run is abandoned.
void TauCustomThread::ReplaceThread() {
    auto fresh = std::make_unique<TauEventThread>();
    fresh->SetPriority(thread_->Priority());
    thread_->Abandon();
    thread_ = std::move(fresh);
    // A wait for the abandoned run (Execute with WaitForCompletion) is over.
    SignalEvent(*runEnded_);
}

TauRunSteps TauCustomThread::StepsOfRun(const std::shared_ptr<TauThreadRun>& run) {
    TauRunSteps steps;
    // A weak reference: the steps belong to the run, which may outlive the
    // component; they reach the component only while the run is not abandoned.
    const std::weak_ptr<TauThreadRun> weakRun = run;
    if (OnExecute)
        steps.work = [work = OnExecute, this] { work(this); };
    steps.reportException = [this, weakRun] {
        if (const auto run = weakRun.lock())
            ReportException(run);
    };
    steps.finish = [this, weakRun] {
        if (const auto run = weakRun.lock())
            SynchronizeRun(run, [this, run] { Finish(run); });
    };
    // A wait for the run ends when its thread does, also when its own work
    // let go of the component (a transfer that reports its abort); a run the
    // component replaced is not waited for any more.
    steps.ended = [self = QPointer<TauCustomThread>(this), weakRun] {
        PostToGuiThread([self, weakRun] {
            const auto run = weakRun.lock();
            if (run && !self.isNull() && self->thread_ && self->thread_->Run() == run)
                SignalEvent(*self->runEnded_);
        });
    };
    steps.handleExceptions = HandleExceptions;
    steps.owner = this;
    return steps;
}

void TauCustomThread::ReportException(const std::shared_ptr<TauThreadRun>& run) {
    SynchronizeRun(run, [this] {
        if (OnException && !destroying_)
            OnException(this);
    });
}

// On the GUI thread, after the work returned. A handler may destroy the
// component or start the next run: both abandon this run, which ends here.
void TauCustomThread::Finish(const std::shared_ptr<TauThreadRun>& run) {
    if (OnFinish && !destroying_) {
        try {
            OnFinish(this);
        } catch (...) {
            if (!run->HandleExceptions())
                throw;
            if (!run->Abandoned() && OnException)
                OnException(this);
        }
    }
    if (run->Abandoned() || !FreeOwnerWhenDone || parent() == nullptr)
        return;
    ReplaceThread();
    parent()->deleteLater();
}

bool TauCustomThread::WaitForRun(const std::shared_ptr<TauThreadRun>& run) {
    const QPointer<TauCustomThread> self(this);
    if (thread_->HasEnded())
        return true;
    const std::shared_ptr<TauSignal> runEnded = runEnded_;
    const TauWaitEnd end = WaitForSignal(*runEnded, WaitTimeout, true);
    if (self.isNull() || end != TauWaitEnd::TimedOut)
        return true;
    bool terminate = true;
    if (OnWaitTimeout)
        OnWaitTimeout(this, terminate);
    if (!self.isNull() && terminate && !run->Abandoned())
        Terminate(true);
    return !terminate;
}

}  // namespace upgrader
