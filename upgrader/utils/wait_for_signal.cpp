#include "upgrader/utils/wait_for_signal.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace upgrader {

// Makes the signal live for the time of one wait and restores what it held
// before, so a wait nested in another one on the same signal is harmless.
class TauSignalWait {
  public:
    TauSignalWait(TauSignal& signal, QEventLoop& loop, bool& signalled)
        : signal_(signal),
          previousLoop_(std::exchange(signal.loop_, &loop)),
          previousSignalled_(std::exchange(signal.signalled_, &signalled)) {}
    ~TauSignalWait() {
        signal_.loop_ = previousLoop_;
        signal_.signalled_ = previousSignalled_;
    }
    TauSignalWait(const TauSignalWait&) = delete;
    TauSignalWait& operator=(const TauSignalWait&) = delete;

  private:
    TauSignal& signal_;
    QEventLoop* previousLoop_;
    bool* previousSignalled_;
};

TauWaitEnd WaitForSignal(TauSignal& Signal, quint32 TimeoutMs, bool StopOnAppTerminate) {
    QEventLoop loop;
    bool signalled = false;
    bool timedOut = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.exit();
    });
    if (TimeoutMs > 0)
        limit.start(static_cast<int>(std::min<quint32>(TimeoutMs, INT_MAX)));
    TauSignalWait live(Signal, loop, signalled);
    // exec() returns without a reason of ours when the application quits: it
    // ends every running loop and starts none until the main loop is left.
    loop.exec();
    if (!signalled && !timedOut && !StopOnAppTerminate) {
        while (!signalled && !timedOut)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (signalled)
        return TauWaitEnd::Signalled;
    return timedOut ? TauWaitEnd::TimedOut : TauWaitEnd::AppTerminating;
}

void SignalEvent(TauSignal& Signal) {
    if (!Signal.IsLive())
        return;
    *Signal.signalled_ = true;
    Signal.loop_->exit();
}

}  // namespace upgrader
