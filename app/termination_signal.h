#pragma once

#include <QObject>

class QSocketNotifier;

namespace app {

// Ends the message loop normally when the session asks the program to stop
// (SIGTERM, SIGINT, SIGHUP), so the windows close and the engine shuts down
// as after closing the main window.
class TerminationSignal : public QObject {
  public:
    explicit TerminationSignal(QObject* parent = nullptr);
    ~TerminationSignal() override;

  private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace app
