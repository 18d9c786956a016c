#pragma once

#include <QtGlobal>

class QEventLoop;

namespace upgrader {

// A signal a GUI-thread wait can be ended with. It is live only while
// WaitForSignal waits on it; SignalEvent on it at any other time does nothing.
// Used on the GUI thread only.
class TauSignal {
  public:
    bool IsLive() const { return loop_ != nullptr; }

  private:
    friend class TauSignalWait;
    friend void SignalEvent(TauSignal& Signal);
    QEventLoop* loop_ = nullptr;
    bool* signalled_ = nullptr;
};

enum class TauWaitEnd { Signalled, TimedOut, AppTerminating };

// Waits until SignalEvent(Signal) is called, the time-out (milliseconds, 0 for
// none, counted from the start of the wait) passes, or — with
// StopOnAppTerminate — the application is asked to quit. Meanwhile the GUI
// thread goes on serving its events: painting, input, timers, and calls that
// worker threads marshal to it. Gives what ended the wait.
TauWaitEnd WaitForSignal(TauSignal& Signal, quint32 TimeoutMs, bool StopOnAppTerminate);

// Ends the wait on the signal when one is running; otherwise does nothing.
void SignalEvent(TauSignal& Signal);

}  // namespace upgrader
