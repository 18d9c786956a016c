#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

namespace upgrader_test {

// Answers the upgrader's modal windows as a user would, by pressing their
// buttons, and records what they showed.
class DialogAnswers : public QObject {
  public:
    DialogAnswers();

    // When set, runs once on each modal window that is no message box
    // (instead of the answers below), to look at it and close it.
    std::function<void(QWidget*)> act;
    // The upgrade question: Yes, or Later.
    bool questionYes = true;
    // Message boxes take these answers in turn, then their default button.
    QList<QMessageBox::StandardButton> boxAnswers;
    // The password window: these credentials and OK, or Cancel when none.
    std::optional<std::pair<QString, QString>> credentials;

    // The wizard's completed page waits inside the upgrader's own event loop,
    // so it is answered from here: by OK (FinishBtn), by its close box, or
    // not at all.
    enum class CompletedPage { Finish, Close, Leave };
    CompletedPage completedPage = CompletedPage::Finish;
    // Called each time the completed page is answered.
    std::function<void()> onCompletedPage;

    QStringList questions;  // texts of the upgrade questions
    QStringList boxes;      // "caption | text" of the message boxes
    QStringList passwordTexts;

  private:
    void Answer();
    void AnswerBox(QMessageBox* box);
    void AnswerCompletedPage();
    QObject* answeredWizard_ = nullptr;
    QWidget* acted_ = nullptr;
    QTimer timer_;
};

// Presses a button of a window (by default the open download wizard); false
// when there is none or it is disabled.
bool Press(const char* Button, QWidget* Window = nullptr);

}  // namespace upgrader_test
