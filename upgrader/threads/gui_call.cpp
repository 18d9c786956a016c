#include "upgrader/threads/gui_call.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace upgrader {

struct PendingGuiCall {
    std::function<void()> call;
    std::exception_ptr failure;
    std::atomic<bool> done{false};
};

namespace {

// The GUI thread goes back to its event loop at least this often while calls
// keep coming, so that it still paints and takes input.
constexpr auto kLongestDrain = std::chrono::milliseconds(4);

// The calls waiting for the GUI thread. Everything that crosses from a
// worker to the GUI thread goes through this queue's own lock; the event
// that wakes the GUI thread carries nothing.
class GuiCallQueue {
  public:
    enum class Pushed { Refused, NeedsWakeUp, WillBeSeen };

    // A wake-up event is posted only when none is on its way: the calls
    // queued meanwhile are all run by the one that is.
    Pushed Push(const std::shared_ptr<PendingGuiCall>& call) {
        std::lock_guard lock(mutex_);
        if (closed_)
            return Pushed::Refused;
        pending_.push_back(call);
        if (wakeUpPosted_)
            return Pushed::WillBeSeen;
        wakeUpPosted_ = true;
        return Pushed::NeedsWakeUp;
    }

    // On the GUI thread, for a wake-up event: runs what is queued, including
    // calls queued while it runs, for a few milliseconds at most. True when
    // it left calls behind; a fresh wake-up event is then to be posted. A
    // call queued while another call runs posts its own wake-up, so that
    // the nested event loops a running call may start serve it.
    bool Drain() {
        const auto leaveAt = std::chrono::steady_clock::now() + kLongestDrain;
        {
            std::lock_guard lock(mutex_);
            wakeUpPosted_ = false;
        }
        while (const std::shared_ptr<PendingGuiCall> next = PopNext()) {
            Run(*next);
            if (std::chrono::steady_clock::now() >= leaveAt)
                return LeftBehind();
        }
        return false;
    }

    // Sleeps until the GUI thread has run the call.
    void WaitUntilDone(const PendingGuiCall& call) {
        if (call.done.load(std::memory_order_acquire))
            return;
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [&] { return call.done.load(); });
    }

    // The application is going away: queued calls will not run.
    void Close() {
        std::deque<std::shared_ptr<PendingGuiCall>> dropped;
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
            dropped.swap(pending_);
            for (const auto& call : dropped)
                call->done = true;
        }
        finished_.notify_all();
    }

  private:
    bool LeftBehind() {
        std::lock_guard lock(mutex_);
        if (pending_.empty() || wakeUpPosted_)
            return false;
        wakeUpPosted_ = true;
        return true;
    }

    std::shared_ptr<PendingGuiCall> PopNext() {
        std::lock_guard lock(mutex_);
        if (pending_.empty())
            return nullptr;
        std::shared_ptr<PendingGuiCall> next = std::move(pending_.front());
        pending_.pop_front();
        return next;
    }

    void Run(PendingGuiCall& call) {
        try {
            call.call();
        } catch (...) {
            call.failure = std::current_exception();
        }
        Finish(call);
    }

    void Finish(PendingGuiCall& call) {
        {
            std::lock_guard lock(mutex_);
            call.done = true;
        }
        finished_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable finished_;
    std::deque<std::shared_ptr<PendingGuiCall>> pending_;
    bool wakeUpPosted_ = false;  // a wake-up event is on its way to the GUI thread
    bool closed_ = false;
};

GuiCallQueue& Queue() {
    static auto* queue = new GuiCallQueue;  // lives as long as detached workers may
    return *queue;
}

const QEvent::Type kDrainEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// The GUI-thread object whose queued events run the calls.
class GuiCallReceiver : public QObject {
  public:
    bool event(QEvent* event) override {
        if (event->type() != kDrainEvent)
            return QObject::event(event);
        // A worker that is quick enough keeps the queue full: the event loop
        // turns in between, and a fresh event brings the rest.
        if (Queue().Drain())
            QCoreApplication::postEvent(this, new QEvent(kDrainEvent));
        return true;
    }
};

QObject* Receiver() {
    static std::once_flag created;
    static QObject* receiver = nullptr;
    std::call_once(created, [] {
        QCoreApplication* app = QCoreApplication::instance();
        receiver = new GuiCallReceiver;
        receiver->moveToThread(app->thread());
        QObject::connect(app, &QObject::destroyed, [] { Queue().Close(); });
    });
    return receiver;
}

std::shared_ptr<PendingGuiCall> Queued(std::function<void()> call) {
    auto pending = std::make_shared<PendingGuiCall>();
    pending->call = std::move(call);
    const GuiCallQueue::Pushed pushed = Queue().Push(pending);
    if (pushed == GuiCallQueue::Pushed::Refused)
        return nullptr;
    if (pushed == GuiCallQueue::Pushed::NeedsWakeUp)
        QCoreApplication::postEvent(Receiver(), new QEvent(kDrainEvent));
    return pending;
}

}  // namespace

bool IsGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || app->thread() == QThread::currentThread();
}

void PrepareGuiCalls() {
    if (QCoreApplication::instance() != nullptr)
        Receiver();
}

void RunOnGuiThread(const std::function<void()>& call) {
    if (IsGuiThread()) {
        call();
        return;
    }
    WaitForGuiCall(Queued(call));
}

std::shared_ptr<PendingGuiCall> StartOnGuiThread(std::function<void()> call) {
    if (!IsGuiThread())
        return Queued(std::move(call));
    auto ran = std::make_shared<PendingGuiCall>();
    try {
        call();
    } catch (...) {
        ran->failure = std::current_exception();
    }
    ran->done = true;
    return ran;
}

void WaitForGuiCall(const std::shared_ptr<PendingGuiCall>& call) {
    if (!call)
        return;
    Queue().WaitUntilDone(*call);
    if (call->failure)
        std::rethrow_exception(call->failure);
}

bool GuiCallEnded(const std::shared_ptr<PendingGuiCall>& call) {
    return !call || call->done.load(std::memory_order_acquire);
}

void PostToGuiThread(std::function<void()> call) {
    if (QCoreApplication::instance() != nullptr)
        Queued(std::move(call));
}

}  // namespace upgrader
