#include "upgrader/dialogs/upgrade_question.h"

#include <QPointer>

#include "ui_upgrade_message_form.h"
#include "upgrader/dialogs/dialog_frame.h"
#include "upgrader/texts/upgrader_texts.h"

namespace upgrader {

namespace {

constexpr int kLabelRightMargin = 11;

QPointer<TauAutoUpgraderUpgradeMessageForm>& OpenQuestion() {
    static QPointer<TauAutoUpgraderUpgradeMessageForm> form;
    return form;
}

}  // namespace

TauAutoUpgraderUpgradeMessageForm::TauAutoUpgraderUpgradeMessageForm(QWidget* Parent)
    : QDialog(Parent), ui(std::make_unique<Ui::TauAutoUpgraderUpgradeMessageForm>()) {
    ui->setupUi(this);
    UseFixedDialogFrame(this, true);
}

TauAutoUpgraderUpgradeMessageForm::~TauAutoUpgraderUpgradeMessageForm() = default;

void TauAutoUpgraderUpgradeMessageForm::Prepare(const QString& Notice) {
    const QString surrounded = Notice.isEmpty() ? QString() : u'\n' + Notice + u'\n';
    setWindowTitle(LoadUpgraderText(0));
    ui->YesBtn->setText(LoadUpgraderText(14));
    ui->LaterBtn->setText(LoadUpgraderText(19));
    FitTextAbovePanel(this, ui->Label1, kLabelRightMargin, ui->BottomPanel,
                      FormatUpgraderText(23, {ApplicationTitle(), surrounded}));
}

bool ShowUpgradeQuestion(const QString& Notice) {
    if (OpenQuestion())
        return false;
    TauAutoUpgraderUpgradeMessageForm form;
    OpenQuestion() = &form;
    form.Prepare(Notice);
    return form.exec() == QDialog::Accepted;
}

}  // namespace upgrader
