#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace test_support {

// Answers every modal dialog that opens while it lives (message boxes get
// their default button, other dialogs are accepted or rejected as set) and
// records the texts and captions of the message boxes.
class ModalBoxWatcher : public QObject {
  public:
    explicit ModalBoxWatcher(bool acceptDialogs = true);
    QStringList texts;
    QStringList captions;

  private:
    void answer();
    QTimer timer_;
    bool acceptDialogs_;
};

}  // namespace test_support
