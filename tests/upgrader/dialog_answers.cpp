#include "tests/upgrader/dialog_answers.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "upgrader/dialogs/wizard_form.h"

namespace upgrader_test {

DialogAnswers::DialogAnswers() {
    connect(&timer_, &QTimer::timeout, this, &DialogAnswers::Answer);
    timer_.start(20);
}

void DialogAnswers::Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        acted_ = nullptr;  // the next window may take the same address
        AnswerCompletedPage();
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        AnswerBox(box);
    } else if (act) {
        if (modal != acted_)
            act(acted_ = modal);
    } else if (modal->objectName() == "TauAutoUpgraderUpgradeMessageForm") {
        questions << modal->findChild<QLabel*>("Label1")->text();
        Press(questionYes ? "YesBtn" : "LaterBtn", modal);
    } else if (modal->objectName() == "TauAutoUpgraderPasswordForm") {
        passwordTexts << modal->findChild<QLabel*>("Label1")->text();
        if (credentials) {
            modal->findChild<QLineEdit*>("UsernameEdit")->setText(credentials->first);
            modal->findChild<QLineEdit*>("PasswordEdit")->setText(credentials->second);
        }
        Press(credentials ? "OKBtn" : "CancelBtn", modal);
    }
}

void DialogAnswers::AnswerBox(QMessageBox* box) {
    boxes << box->windowTitle() + " | " + box->text();
    const QMessageBox::StandardButton answer = !boxAnswers.isEmpty() ? boxAnswers.takeFirst()
                                               : box->defaultButton()
                                                   ? box->standardButton(box->defaultButton())
                                                   : QMessageBox::Ok;
    if (QAbstractButton* button = box->button(answer))
        button->click();
}

void DialogAnswers::AnswerCompletedPage() {
    // The open wizard shows its completed page when its OK is enabled.
    upgrader::TauAutoUpgraderWizardForm* wizard = upgrader::WizardForm();
    auto* finish = wizard != nullptr ? wizard->findChild<QPushButton*>("FinishBtn") : nullptr;
    if (completedPage == CompletedPage::Leave || wizard == answeredWizard_ || finish == nullptr ||
        !finish->isEnabled())
        return;
    // The answer may open the abort question, which this timer answers too:
    // it is given from outside the timer's own call.
    answeredWizard_ = wizard;
    if (onCompletedPage)
        onCompletedPage();
    QTimer::singleShot(0, wizard, [this, wizard] {
        if (completedPage == CompletedPage::Finish)
            Press("FinishBtn");
        else
            wizard->close();
        // Still open (the abort question answered No): answered again.
        answeredWizard_ = nullptr;
    });
}

bool Press(const char* Button, QWidget* Window) {
    QWidget* window = Window != nullptr ? Window : upgrader::WizardForm();
    auto* button = window != nullptr ? window->findChild<QPushButton*>(Button) : nullptr;
    if (button == nullptr || !button->isEnabled())
        return false;
    button->click();
    return true;
}

}  // namespace upgrader_test
