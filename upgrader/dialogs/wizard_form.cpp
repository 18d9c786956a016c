#include "upgrader/dialogs/wizard_form.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QPointer>

#include "ui_upgrade_wizard_form.h"
#include "upgrader/dialogs/dialog_frame.h"
#include "upgrader/texts/upgrader_texts.h"

namespace upgrader {

namespace {

constexpr int kLineStep = 16;
constexpr int kBarGap = 20;
constexpr int kFrameShift = 10;
constexpr int kFrameShrink = 30;

QPointer<TauAutoUpgraderWizardForm>& OpenWizard() {
    static QPointer<TauAutoUpgraderWizardForm> form;
    return form;
}

void UseColour(QWidget* Widget, QPalette::ColorRole Role, QPalette::ColorRole From) {
    QPalette palette = Widget->palette();
    palette.setColor(Role, palette.color(From));
    Widget->setPalette(palette);
}

}  // namespace

TauAutoUpgraderWizardForm::TauAutoUpgraderWizardForm(const TauAutoUpgraderWizard& Settings,
                                                     TauWizardHooks Hooks)
    : ui(std::make_unique<Ui::TauAutoUpgraderWizardForm>()), hooks(std::move(Hooks)) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    UseFixedDialogFrame(this, Settings.StayOnTop);
    // The address reads like text on the dialog, in the highlight colour.
    UseColour(ui->FileURL, QPalette::Base, QPalette::Button);
    UseColour(ui->FileURL, QPalette::Text, QPalette::Highlight);
    UseColour(ui->AboutShadow, QPalette::WindowText, QPalette::Light);
    UseColour(ui->AboutLabel, QPalette::WindowText, QPalette::Dark);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->FinishBtn, &QPushButton::clicked, this,
            &TauAutoUpgraderWizardForm::CloseWithoutQuestion);
    ApplySettings(Settings);
    FitAndCenter(this, height());
}

TauAutoUpgraderWizardForm::~TauAutoUpgraderWizardForm() = default;

void TauAutoUpgraderWizardForm::ApplySettings(const TauAutoUpgraderWizard& Settings) {
    const QString note = u' ' + LoadUpgraderString(kWizardNoteText) + u' ';
    SetAutoSizeText(ui->AboutLabel, note);
    SetAutoSizeText(ui->AboutShadow, note);
    if (Settings.HideFileLocation)
        HideFileLocation();
    if (!Settings.Pic118x218.isNull())
        ui->Image1->setPixmap(Settings.Pic118x218);
    ShowDownloadingTexts();
}

void TauAutoUpgraderWizardForm::HideFileLocation() {
    ui->FileURL->hide();
    ui->LDownloadingFileFrom->hide();
    ui->LFileSize->move(ui->LFileSize->x(), ui->LDownloadingFileFrom->y());
    ui->LTransferRate->move(ui->LTransferRate->x(), ui->LFileSize->y() + kLineStep);
    ui->LEstimatedTime->move(ui->LEstimatedTime->x(), ui->LTransferRate->y() + kLineStep);
    ui->ProgressCurrentFile->move(ui->ProgressCurrentFile->x(), ui->LEstimatedTime->y() + kBarGap);
    const QRect frame = ui->LCurrentFile->geometry();
    ui->LCurrentFile->setGeometry(frame.x(), frame.y() + kFrameShift, frame.width(),
                                  frame.height() - kFrameShrink);
}

void TauAutoUpgraderWizardForm::ShowDownloadingTexts() {
    SetAutoSizeText(ui->LEstimatedTime, LoadUpgraderText(22));
    setWindowTitle(LoadUpgraderText(0));
    SetAutoSizeText(ui->WizardTitle, LoadUpgraderText(1));
    ui->LCurrentFile->setTitle(u' ' + LoadUpgraderText(3) + u' ');
    ui->LAllFiles->setTitle(u' ' + LoadUpgraderText(4) + u' ');
    SetAutoSizeText(ui->LDownloadingFileFrom, LoadUpgraderText(5));
    ui->FinishBtn->setText(LoadUpgraderText(18));
    ui->CancelBtn->setText(LoadUpgraderText(17));
}

void TauAutoUpgraderWizardForm::ShowFileURL(const QString& URL) {
    ui->FileURL->setText(URL);
    ui->FileURL->setCursorPosition(0);
}

void TauAutoUpgraderWizardForm::ShowFileNumber(int Number, int Count) {
    SetAutoSizeText(ui->AllDownloading, FormatUpgraderText(9, {qint64(Number), qint64(Count)}));
}

void TauAutoUpgraderWizardForm::ShowFileSize(qint64 ContentLength) {
    SetAutoSizeText(ui->LFileSize, FormatUpgraderText(6, {ContentLength / 1024.0}));
}

void TauAutoUpgraderWizardForm::ShowProgress(int PercentDone, int TotalPercentsDone,
                                             double TransferRate, qint64 EstimatedTimeLeft) {
    ui->ProgressCurrentFile->setValue(PercentDone);
    ui->ProgressAllFiles->setValue(TotalPercentsDone);
    SetAutoSizeText(ui->LTransferRate, FormatUpgraderText(7, {TransferRate}));
    const qint64 minutes = EstimatedTimeLeft / 60;
    SetAutoSizeText(ui->LEstimatedTime,
                    FormatUpgraderText(8, {minutes / 60, minutes % 60, EstimatedTimeLeft % 60}));
}

void TauAutoUpgraderWizardForm::ShowCompleted() {
    SetAutoSizeText(ui->WizardTitle, LoadUpgraderText(2));
    SetWrappedText(ui->AfterNote, ui->AfterNote->width(),
                   FormatUpgraderText(10, {ApplicationTitle()}));
    ui->LCurrentFile->hide();
    ui->LAllFiles->hide();
    ui->CancelBtn->setEnabled(false);
    ui->FinishBtn->setText(LoadUpgraderText(16));
    ui->FinishBtn->setEnabled(true);
    ui->FinishBtn->setDefault(true);
    ui->FinishBtn->setFocus();
}

void TauAutoUpgraderWizardForm::CloseWithoutQuestion() {
    closingWithoutQuestion = true;
    close();
}

void TauAutoUpgraderWizardForm::reject() {
    close();
}

bool TauAutoUpgraderWizardForm::ConfirmAbort() {
    QMessageBox question(QMessageBox::Question, ApplicationTitle(), LoadUpgraderText(27),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setDefaultButton(QMessageBox::Yes);
    return question.exec() == QMessageBox::Yes;
}

// The dialog's own close handling would reject(), which closes again; the
// close is decided here alone.
void TauAutoUpgraderWizardForm::closeEvent(QCloseEvent* Event) {
    const bool aborting = !closingWithoutQuestion;
    if (aborting && !ConfirmAbort()) {
        Event->ignore();
        return;
    }
    Event->accept();
    if (OpenWizard() == this)
        OpenWizard() = nullptr;
    const TauWizardHooks told = std::move(hooks);
    hooks = {};
    if (told.Closed)
        told.Closed();
    if (aborting && told.AbortUpgrade)
        told.AbortUpgrade();
}

TauAutoUpgraderWizardForm* WizardForm() {
    return OpenWizard();
}

void ShowWizard(const TauAutoUpgraderWizard& Settings, TauWizardHooks Hooks) {
    DeleteWizardForm();
    auto* form = new TauAutoUpgraderWizardForm(Settings, std::move(Hooks));
    OpenWizard() = form;
    form->show();
}

void ShowWizardCompleted() {
    if (TauAutoUpgraderWizardForm* form = WizardForm())
        form->ShowCompleted();
}

void DeleteWizardForm() {
    if (TauAutoUpgraderWizardForm* form = WizardForm())
        form->CloseWithoutQuestion();
}

}  // namespace upgrader
