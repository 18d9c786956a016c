#pragma once

#include <memory>

#include <QDialog>

namespace Ui {
class TauAutoUpgraderUpgradeMessageForm;
}

namespace upgrader {

// The upgrade question: the published notice inside text 23, Yes or Later.
// Always above other windows; its height fits the text.
class TauAutoUpgraderUpgradeMessageForm : public QDialog {
  public:
    explicit TauAutoUpgraderUpgradeMessageForm(QWidget* Parent = nullptr);
    ~TauAutoUpgraderUpgradeMessageForm() override;

    // Fills in the texts of the current language around the notice and fits
    // the window to them.
    void Prepare(const QString& Notice);

  private:
    std::unique_ptr<Ui::TauAutoUpgraderUpgradeMessageForm> ui;
};

// Asks the question modally; true only when the user chose Yes (Later, the
// close box and Escape are No). While the question is open a second call
// answers No at once.
bool ShowUpgradeQuestion(const QString& Notice);

}  // namespace upgrader
