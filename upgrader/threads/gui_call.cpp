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

namespace {

struct PendingCall {
    std::function<void()> call;
    std::exception_ptr failure;
    std::atomic<bool> done{false};
};

// A marshalled call usually returns within microseconds. The waiting worker
// keeps looking for that long before it sleeps: waking a sleeping thread
// costs tens of microseconds on a virtual machine, and the HTTP client makes
// one such call per body chunk.
constexpr auto kLookBeforeSleeping = std::chrono::microseconds(100);

// For the same reason the GUI thread, having run the queued calls, looks a
// little while for the next one before it goes back to its event loop; a
// worker's call that comes meanwhile needs no wake-up event.
constexpr auto kLookForNextCall = std::chrono::microseconds(50);

// The GUI thread goes back to its event loop at least this often while calls
// keep coming, so that it still paints and takes input.
constexpr auto kLongestDrain = std::chrono::milliseconds(4);

// Tells the processor that this is a wait loop.
inline void PauseInLoop() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// True when the condition came true within the time.
template <typename Condition>
bool LookFor(std::chrono::microseconds time, Condition condition) {
    const auto lookUntil = std::chrono::steady_clock::now() + time;
    do {
        for (int look = 0; look < 64; ++look) {
            if (condition())
                return true;
            PauseInLoop();
        }
    } while (std::chrono::steady_clock::now() < lookUntil);
    return false;
}

// The calls waiting for the GUI thread. Everything that crosses from a
// worker to the GUI thread goes through this queue's own lock; the event
// that wakes the GUI thread carries nothing.
class GuiCallQueue {
  public:
    enum class Pushed { Refused, NeedsWakeUp, WillBeSeen };

    Pushed Push(const std::shared_ptr<PendingCall>& call) {
        std::lock_guard lock(mutex_);
        if (closed_)
            return Pushed::Refused;
        pending_.push_back(call);
        queued_.fetch_add(1, std::memory_order_release);
        return draining_ ? Pushed::WillBeSeen : Pushed::NeedsWakeUp;
    }

    // On the GUI thread: runs what is queued, including calls queued while
    // it runs and shortly after, for a few milliseconds at most. True when
    // it left calls behind; those queued while it looked posted no event.
    bool Drain() {
        const auto leaveAt = std::chrono::steady_clock::now() + kLongestDrain;
        for (;;) {
            while (const std::shared_ptr<PendingCall> next = PopNext()) {
                Run(*next);
                if (std::chrono::steady_clock::now() >= leaveAt)
                    return queued_.load() > 0;
            }
            if (!AwaitNextCall())
                return false;
        }
    }

    void WaitUntilDone(const PendingCall& call) {
        if (LookFor(kLookBeforeSleeping, [&] { return call.done.load(std::memory_order_acquire); }))
            return;
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [&] { return call.done.load(); });
    }

    // The application is going away: queued calls will not run.
    void Close() {
        std::deque<std::shared_ptr<PendingCall>> dropped;
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
            dropped.swap(pending_);
            queued_ = 0;
            for (const auto& call : dropped)
                call->done = true;
        }
        finished_.notify_all();
    }

  private:
    // Looks a short while for the next call; true when there is one. A call
    // queued meanwhile posts no wake-up event, as it is seen here. While a
    // call runs nobody looks, so a call of another worker wakes the nested
    // event loops a running call may start.
    bool AwaitNextCall() {
        {
            std::lock_guard lock(mutex_);
            draining_ = true;
        }
        LookFor(kLookForNextCall, [this] { return queued_.load() > 0; });
        std::lock_guard lock(mutex_);
        draining_ = false;
        return !pending_.empty();
    }

    std::shared_ptr<PendingCall> PopNext() {
        std::lock_guard lock(mutex_);
        if (pending_.empty())
            return nullptr;
        std::shared_ptr<PendingCall> next = std::move(pending_.front());
        pending_.pop_front();
        queued_.fetch_sub(1, std::memory_order_relaxed);
        return next;
    }

    void Run(PendingCall& call) {
        try {
            call.call();
        } catch (...) {
            call.failure = std::current_exception();
        }
        Finish(call);
    }

    void Finish(PendingCall& call) {
        {
            std::lock_guard lock(mutex_);
            call.done = true;
        }
        finished_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable finished_;
    std::deque<std::shared_ptr<PendingCall>> pending_;
    std::atomic<std::size_t> queued_{0};  // pending_.size(), for looking without the lock
    bool draining_ = false;               // the GUI thread is looking for the next call
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

std::shared_ptr<PendingCall> Queued(std::function<void()> call) {
    auto pending = std::make_shared<PendingCall>();
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
    const std::shared_ptr<PendingCall> pending = Queued(call);
    if (!pending)
        return;
    Queue().WaitUntilDone(*pending);
    if (pending->failure)
        std::rethrow_exception(pending->failure);
}

void PostToGuiThread(std::function<void()> call) {
    if (QCoreApplication::instance() != nullptr)
        Queued(std::move(call));
}

}  // namespace upgrader
