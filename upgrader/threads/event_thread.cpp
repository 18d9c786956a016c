#include "upgrader/threads/event_thread.h"

#include "upgrader/threads/abandoned_threads.h"

namespace upgrader {

TauEventThread::TauEventThread() : run_(std::make_shared<TauThreadRun>()) {
    thread_ = std::thread(&TauThreadRun::Procedure, run_);
    std::unique_lock lock(run_->mutex_);
    run_->wake_.wait(lock, [&] { return run_->threadId_ != 0; });
}

TauEventThread::~TauEventThread() {
    if (run_->Abandon())
        thread_.join();
    else
        KeepUntilEnded(std::move(thread_), run_);
}

void TauEventThread::Start(TauRunSteps steps) {
    {
        std::lock_guard lock(run_->mutex_);
        run_->steps_ = std::move(steps);
        run_->started_ = true;
    }
    Resume();
}

bool TauEventThread::HasEnded() const {
    std::lock_guard lock(run_->mutex_);
    return run_->ended_;
}

bool TauEventThread::Suspended() const {
    std::lock_guard lock(run_->mutex_);
    return run_->suspendCount_ > 0;
}

quint32 TauEventThread::ThreadID() const {
    std::lock_guard lock(run_->mutex_);
    return static_cast<quint32>(run_->threadId_);
}

void TauEventThread::Suspend() {
    std::lock_guard lock(run_->mutex_);
    ++run_->suspendCount_;
}

void TauEventThread::Resume() {
    {
        std::lock_guard lock(run_->mutex_);
        if (run_->suspendCount_ > 0)
            --run_->suspendCount_;
    }
    run_->wake_.notify_all();
}

void TauEventThread::Terminate() {
    run_->Terminate();
}

void TauEventThread::Abandon() {
    run_->Abandon();
}

// The thread id is asked only while the thread lives, so it never names a
// thread that took over a freed id.
TThreadPriority TauEventThread::Priority() const {
    std::lock_guard lock(run_->mutex_);
    return run_->ended_ ? run_->priority_ : ReadThreadPriority(run_->threadId_);
}

void TauEventThread::SetPriority(TThreadPriority priority) {
    if (priority < tpIdle || priority > tpTimeCritical)
        return;
    std::lock_guard lock(run_->mutex_);
    if (run_->ended_ || WriteThreadPriority(run_->threadId_, priority))
        run_->priority_ = priority;
}

}  // namespace upgrader
