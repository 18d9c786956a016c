#pragma once

#include <memory>

#include <QDialog>

namespace Ui {
class TauAutoUpgraderPasswordForm;
}

namespace upgrader {

// The password window: the server asked for a user name and password to
// give the file named in its text.
class TauAutoUpgraderPasswordForm : public QDialog {
  public:
    explicit TauAutoUpgraderPasswordForm(QWidget* Parent = nullptr);
    ~TauAutoUpgraderPasswordForm() override;

    // Fills in the texts for the file and the known user name; the password
    // starts empty.
    void Prepare(const QString& URLFileName, const QString& HTTPUsername);
    QString Username() const;
    QString Password() const;

  private:
    std::unique_ptr<Ui::TauAutoUpgraderPasswordForm> ui;
};

// Shows the password window modally for the file (the client's URLFileName).
// On OK the entered user name and password are stored into HTTPUsername and
// HTTPPassword and the result is true; Cancel, the close box and Escape leave
// both unchanged and give false, and so does a call while the window is open.
bool AskPassword(const QString& URLFileName, QString& HTTPUsername, QString& HTTPPassword);

}  // namespace upgrader
