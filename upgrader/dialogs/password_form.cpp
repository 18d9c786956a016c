#include "upgrader/dialogs/password_form.h"

#include <QPointer>

#include "ui_upgrade_password_form.h"
#include "upgrader/dialogs/dialog_frame.h"
#include "upgrader/texts/upgrader_texts.h"

namespace upgrader {

namespace {

constexpr int kLabelRightMargin = 18;

QPointer<TauAutoUpgraderPasswordForm>& OpenPasswordForm() {
    static QPointer<TauAutoUpgraderPasswordForm> form;
    return form;
}

}  // namespace

TauAutoUpgraderPasswordForm::TauAutoUpgraderPasswordForm(QWidget* Parent)
    : QDialog(Parent), ui(std::make_unique<Ui::TauAutoUpgraderPasswordForm>()) {
    ui->setupUi(this);
    UseFixedDialogFrame(this, false);
    connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

TauAutoUpgraderPasswordForm::~TauAutoUpgraderPasswordForm() = default;

void TauAutoUpgraderPasswordForm::Prepare(const QString& URLFileName, const QString& HTTPUsername) {
    setWindowTitle(LoadUpgraderText(11));
    SetAutoSizeText(ui->UsernameLab, LoadUpgraderText(12));
    SetAutoSizeText(ui->PasswordLab, LoadUpgraderText(13));
    ui->UsernameEdit->setText(HTTPUsername);
    ui->PasswordEdit->clear();
    ui->OKBtn->setText(LoadUpgraderText(16));
    ui->CancelBtn->setText(LoadUpgraderText(17));
    FitTextAbovePanel(this, ui->Label1, kLabelRightMargin, ui->BottomPanel,
                      FormatUpgraderText(29, {URLFileName}));
}

QString TauAutoUpgraderPasswordForm::Username() const {
    return ui->UsernameEdit->text();
}

QString TauAutoUpgraderPasswordForm::Password() const {
    return ui->PasswordEdit->text();
}

bool AskPassword(const QString& URLFileName, QString& HTTPUsername, QString& HTTPPassword) {
    if (OpenPasswordForm())
        return false;
    TauAutoUpgraderPasswordForm form;
    OpenPasswordForm() = &form;
    form.Prepare(URLFileName, HTTPUsername);
    if (form.exec() != QDialog::Accepted)
        return false;
    HTTPUsername = form.Username();
    HTTPPassword = form.Password();
    return true;
}

}  // namespace upgrader
