#pragma once

#include <functional>

#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace dialog_test {

// While it lives, runs Act once on each modal window that opens (the
// upgrader's question or password window), so a test can look at it and
// close it the way a user would.
class ModalActor : public QObject {
  public:
    explicit ModalActor(std::function<void(QWidget*)> Act);

  private:
    void Look();
    std::function<void(QWidget*)> act_;
    QTimer timer_;
    QWidget* handled_ = nullptr;
};

// While it lives, answers every message box with the given button and
// records its texts and captions.
class MessageBoxAnswerer : public QObject {
  public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton Answer);
    void SetAnswer(QMessageBox::StandardButton Answer) { answer_ = Answer; }
    QStringList texts;
    QStringList captions;
    QList<QMessageBox::Icon> icons;

  private:
    void Look();
    QMessageBox::StandardButton answer_;
    QTimer timer_;
};

}  // namespace dialog_test
