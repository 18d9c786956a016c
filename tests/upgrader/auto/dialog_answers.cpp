#include "tests/upgrader/auto/dialog_answers.h"

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
        AnswerCompletedPage();
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        AnswerBox(box);
    } else if (modal->objectName() == "TauAutoUpgraderUpgradeMessageForm") {
        questions << modal->findChild<QLabel*>("Label1")->text();
        Press(modal, questionYes ? "YesBtn" : "LaterBtn");
    } else if (modal->objectName() == "TauAutoUpgraderPasswordForm") {
        passwordTexts << modal->findChild<QLabel*>("Label1")->text();
        if (credentials) {
            modal->findChild<QLineEdit*>("UsernameEdit")->setText(credentials->first);
            modal->findChild<QLineEdit*>("PasswordEdit")->setText(credentials->second);
        }
        Press(modal, credentials ? "OKBtn" : "CancelBtn");
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

void DialogAnswers::Press(QWidget* dialog, const char* button) {
    if (auto* found = dialog->findChild<QPushButton*>(button))
        found->click();
}

void DialogAnswers::AnswerCompletedPage() {
    upgrader::TauAutoUpgraderWizardForm* wizard = upgrader::WizardForm();
    if (wizard == nullptr || wizard == answeredWizard_ || !WizardCompleted())
        return;
    // The answer may open the abort question, which this timer answers too:
    // it is given from outside the timer's own call.
    answeredWizard_ = wizard;
    if (onCompletedPage)
        onCompletedPage();
    QTimer::singleShot(0, wizard, [this, wizard] {
        if (completedPage == CompletedPage::Finish)
            PressWizardButton("FinishBtn");
        else
            wizard->close();
        // Still open (the abort question answered No): answered again.
        answeredWizard_ = nullptr;
    });
}

bool WizardCompleted() {
    upgrader::TauAutoUpgraderWizardForm* wizard = upgrader::WizardForm();
    auto* finish = wizard != nullptr ? wizard->findChild<QPushButton*>("FinishBtn") : nullptr;
    return finish != nullptr && finish->isEnabled();
}

bool PressWizardButton(const char* Button) {
    upgrader::TauAutoUpgraderWizardForm* wizard = upgrader::WizardForm();
    auto* button = wizard != nullptr ? wizard->findChild<QPushButton*>(Button) : nullptr;
    if (button == nullptr || !button->isEnabled())
        return false;
    button->click();
    return true;
}

}  // namespace upgrader_test
