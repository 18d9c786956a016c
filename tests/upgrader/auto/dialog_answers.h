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

    // The upgrade question: Yes, or Later.
    bool questionYes = true;
    // Message boxes take these answers in turn, then their default button.
    QList<QMessageBox::StandardButton> boxAnswers;
    // The password window: these credentials and OK, or Cancel when none.
    std::optional<std::pair<QString, QString>> credentials;

    // The wizard's completed page waits inside the upgrader's own event loop,
    // so it is answered from here: by OK (FinishBtn), or by its close box.
    enum class CompletedPage { Finish, Close };
    CompletedPage completedPage = CompletedPage::Finish;
    // Called each time the completed page is answered.
    std::function<void()> onCompletedPage;

    QStringList questions;  // texts of the upgrade questions
    QStringList boxes;      // "caption | text" of the message boxes
    QStringList passwordTexts;

  private:
    void Answer();
    void AnswerBox(QMessageBox* box);
    void Press(QWidget* dialog, const char* button);
    void AnswerCompletedPage();
    QObject* answeredWizard_ = nullptr;
    QTimer timer_;
};

// Presses a button of the open download wizard; false when there is none or
// it is disabled.
bool PressWizardButton(const char* Button);

// The open wizard shows its completed page.
bool WizardCompleted();

}  // namespace upgrader_test
