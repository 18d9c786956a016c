#pragma once

#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

namespace test_support {

// Answers every message box that opens while it lives with its default
// button, and records the boxes' texts and captions.
class ModalBoxWatcher : public QObject {
  public:
    ModalBoxWatcher();
    QStringList texts;
    QStringList captions;
    QList<QMessageBox::Icon> icons;
    // The most message boxes seen open at one time (a box opened inside
    // another's event loop makes two).
    int mostOpenAtOnce = 0;
    // How long a box stays open before it is answered, in milliseconds.
    int holdMs = 0;
    // The answer for a box that has this button (a question), instead of
    // its default.
    QMessageBox::StandardButton reply = QMessageBox::NoButton;

  private:
    void answer();
    QTimer timer_;
    QPointer<QWidget> seen_;
    QElapsedTimer seenFor_;
};

}  // namespace test_support
