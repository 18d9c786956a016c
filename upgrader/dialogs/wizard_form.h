#pragma once

#include <functional>
#include <memory>

#include <QDialog>

#include "upgrader/dialogs/upgrader_wizard.h"

namespace Ui {
class TauAutoUpgraderWizardForm;
}

namespace upgrader {

// What the wizard asks of the upgrader that opened it.
struct TauWizardHooks {
    std::function<void()> Closed;        // any close: signal the upgrader's DoneEvent
    std::function<void()> AbortUpgrade;  // the user confirmed the abort question
};

// The download wizard: its downloading page shows the file being downloaded
// with its progress and the progress of all files; its completed page waits
// for the user's OK. Closing it other than with the completed page's OK asks
// whether to abort the upgrade (text 27): Yes closes it and aborts, No keeps
// it open. However it closes, it is deleted and the upgrader told.
class TauAutoUpgraderWizardForm : public QDialog {
  public:
    TauAutoUpgraderWizardForm(const TauAutoUpgraderWizard& Settings, TauWizardHooks Hooks);
    ~TauAutoUpgraderWizardForm() override;

    // The downloading page's fields, written while a file downloads.
    void ShowFileURL(const QString& URL);
    void ShowFileNumber(int Number, int Count);  // text 9: "Downloading 1 of 2"
    void ShowFileSize(qint64 ContentLength);     // text 6, in kilobytes
    // The bars, text 7 (Kb/s) and text 8 (time left split into h:mm:ss).
    void ShowProgress(int PercentDone, int TotalPercentsDone, double TransferRate,
                      qint64 EstimatedTimeLeft);
    void ShowCompleted();

    // Closes without the abort question (the upgrader ends the series).
    void CloseWithoutQuestion();

  protected:
    void closeEvent(QCloseEvent* Event) override;
    void reject() override;  // Escape and Cancel: the window's close command

  private:
    void ApplySettings(const TauAutoUpgraderWizard& Settings);
    void HideFileLocation();
    void ShowDownloadingTexts();
    bool ConfirmAbort();

    std::unique_ptr<Ui::TauAutoUpgraderWizardForm> ui;
    TauWizardHooks hooks;
    bool closingWithoutQuestion = false;
};

// The open wizard, or null when there is none (disabled, or closed).
TauAutoUpgraderWizardForm* WizardForm();

// Opens the wizard on its downloading page (or turns the open one back to
// it) with the settings and the upgrader's hooks, without waiting.
void ShowWizard(const TauAutoUpgraderWizard& Settings, TauWizardHooks Hooks);

// Turns the open wizard to its completed page.
void ShowWizardCompleted();

// Closes and deletes the open wizard without asking (FinishTransfers).
void DeleteWizardForm();

}  // namespace upgrader
