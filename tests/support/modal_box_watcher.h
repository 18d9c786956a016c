#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
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
    // The most message boxes seen open at one time (a box opened inside
    // another's event loop makes two).
    int mostOpenAtOnce = 0;
    // How long a box stays open before it is answered, in milliseconds.
    int holdMs = 0;

  private:
    void answer();
    QTimer timer_;
    QPointer<QWidget> seen_;
    QElapsedTimer seenFor_;
    bool acceptDialogs_;
};

}  // namespace test_support
