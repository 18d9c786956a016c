// The download series: each file of the list into its ".uTMP" file beside
// the program, then the hand-over to the replacer.
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>
#include <utility>

#include "common/executable_folder.h"
#include "common/text_codec.h"
#include "upgrader/auto/auto_upgrader.h"
#include "upgrader/auto/download_figures.h"
#include "upgrader/auto/upgrader_messages.h"
#include "upgrader/dialogs/wizard_form.h"
#include "upgrader/replacement/replacer_launch.h"
#include "upgrader/replacement/temp_files.h"
#include "upgrader/texts/upgrader_texts.h"
#include "upgrader/utils/curl_url.h"
#include "upgrader/utils/file_size.h"
#include "upgrader/utils/file_times.h"
#include "upgrader/verification/file_hash.h"

namespace upgrader {

void TauAutoUpgrader::DownloadNextFile(bool First) {
    if (First) {
        checkingInfoFile_ = false;
        TauHTTPSettings::CacheOptions = CacheOptions;
        fileIndex_ = 0;
        seriesFiles_.clear();
        if (Wizard.Enabled)
            OpenWizard();
    } else {
        ++fileIndex_;
    }
    if (fileIndex_ < downloadList_.size())
        StartFileDownload();
    else
        AllFilesDownloaded();
}

void TauAutoUpgrader::StartFileDownload() {
    const QByteArray address = downloadList_.at(fileIndex_);
    if (TauAutoUpgraderWizardForm* wizard = WizardForm()) {
        wizard->ShowFileURL(common::FromGbk(address));
        wizard->ShowFileNumber(fileIndex_ + 1, qint32(downloadList_.size()));
    }
    URL = address;
    remoteFileTime_ = 0;
    // Only web addresses are fetched: a "file:" or other entry of the info
    // file would copy a file of this machine into the program's folder.
    const std::optional<QString> target = TempFilePathFor(common::ExecutableFolder(), address);
    if (!IsWebAddress(address) || !target) {
        currentFile_.clear();
        FileLost(0);
        return;
    }
    currentFile_ = *target;
    // The published size bounds what reaches the disk; with a key every
    // file must have one.
    const qint64 publishedSize = fileSizes_.value(address, 0);
    OutputFileLimit = std::max<qint64>(publishedSize, 0);
    if (!UpdatePublicKey.isEmpty() && publishedSize <= 0) {
        RefuseUnverifiedFile();
        return;
    }
    OutputFileName = currentFile_;
    ReleaseOutput();
    // The worker could not be started: the series cannot go on.
    if (!Read(false))
        FinishTransfers();
}

// The wizard tells when it closes, and when the user confirmed its abort
// question; it may outlive the upgrader.
void TauAutoUpgrader::OpenWizard() {
    const QPointer<TauAutoUpgrader> self(this);
    ShowWizard(Wizard, {[done = doneEvent_] { SignalEvent(*done); },
                        [self] {
                            if (!self.isNull())
                                self->AbortUpgrade();
                        }});
}

// The completed page waits for the user; closing it (OK) restarts, unless
// it was an abort.
void TauAutoUpgrader::AllFilesDownloaded() {
    const QPointer<TauAutoUpgrader> self(this);
    if (WizardForm() != nullptr) {
        ShowWizardCompleted();
        const std::optional<TauWaitEnd> end = WaitForDone();
        // Also when the program is quitting meanwhile: the files stay for the
        // next series, nothing is started behind the user's back.
        if (!end || *end != TauWaitEnd::Signalled || aborted_)
            return;
    }
    bool restartImmediately = true;
    if (OnEndUpgrade)
        OnEndUpgrade(this, restartImmediately);
    if (!self.isNull() && restartImmediately)
        RestartApplication();
}

void TauAutoUpgrader::FileHeaders(qint64 ContentLength, TDateTime LastModified,
                                  bool& ContinueDownload) {
    remoteFileTime_ = LastModified;
    if (TauAutoUpgraderWizardForm* wizard = WizardForm())
        wizard->ShowFileSize(ContentLength);
    if (MiscFilesUpgrade == mfuOnlyIfSizeDifferent && ContentLength != 0 &&
        downloadList_.size() > 1 && SameSizeFileIsThere(ContentLength))
        ContinueDownload = false;
    if (OnFileStart)
        OnFileStart(this, URL, ContentLength, LastModified, ContinueDownload);
}

// A further file (not the program itself) that is already beside the program
// with the announced size.
bool TauAutoUpgrader::SameSizeFileIsThere(qint64 ContentLength) const {
    const QString target = currentFile_.chopped(kTempFileSuffix.size());
    const QString name = QFileInfo(target).fileName();
    const QString program = QFileInfo(common::ExecutablePath()).fileName();
    return name.compare(program, Qt::CaseInsensitive) != 0 &&
           GetFileSize64(target) == ContentLength;
}

void TauAutoUpgrader::FileProgress(qint64 FileSize, qint64 BytesRead, qint32 ElapsedTime,
                                   qint32 EstimatedTimeLeft, quint8 PercentDone,
                                   float TransferRate) {
    const QPointer<TauAutoUpgrader> self(this);
    const quint8 total = TotalPercentDone(PercentDone, fileIndex_, qint32(downloadList_.size()));
    if (OnProgress)
        OnProgress(this, URL, FileSize, BytesRead, ElapsedTime, EstimatedTimeLeft, PercentDone,
                   total, TransferRate);
    if (self.isNull())
        return;
    if (TauAutoUpgraderWizardForm* wizard = WizardForm())
        wizard->ShowProgress(PercentDone, total, TransferRate, EstimatedTimeLeft);
}

void TauAutoUpgrader::FileDone(QIODevice* Stream) {
    // A body in memory: the temporary file could not be created.
    if (Stream != nullptr) {
        FileNotWritten();
        return;
    }
    if (!DownloadHasPublishedHash()) {
        RefuseUnverifiedFile();
        return;
    }
    const QPointer<TauAutoUpgrader> self(this);
    seriesFiles_.append(currentFile_);
    if (remoteFileTime_ != 0)
        SetFileTimes(currentFile_, remoteFileTime_, remoteFileTime_, kKeepFileTime);
    if (OnFileDone)
        OnFileDone(this, currentFile_);
    if (!self.isNull())
        DownloadNextFile(false);
}

// With a publisher's key every file must match the hash the signed info file
// gives for it; without one, a hash that is given is still checked.
bool TauAutoUpgrader::DownloadHasPublishedHash() const {
    const QByteArray expected = fileHashes_.value(URL);
    if (expected.isEmpty())
        return UpdatePublicKey.isEmpty();
    return FileHasSha256(currentFile_, expected);
}

// Nothing of the upgrade is installed: the file (whole, partial, or not
// begun) goes at once, the rest with the abort.
void TauAutoUpgrader::RefuseUnverifiedFile() {
    const QPointer<TauAutoUpgrader> self(this);
    QFile::remove(currentFile_);
    qWarning("Upgrade file %s refused: it does not match the published SHA-256 and size",
             URL.constData());
    if (ShowMessages.testFlag(mUnverifiedUpdate))
        ShowUpgraderMessage(FormatUpgraderText(32, {common::FromGbk(URLFileName())}),
                            QMessageBox::Critical);
    if (!self.isNull())
        AbortUpgrade();
}

void TauAutoUpgrader::FileLost(int ErrorCode) {
    const QPointer<TauAutoUpgrader> self(this);
    bool continueUpgrade = false;
    if (OnLostFile)
        OnLostFile(this, URL, ErrorCode, continueUpgrade);
    if (self.isNull())
        return;
    if (ShowMessages.testFlag(mLostFile)) {
        // A self-upgrade without one of its files would install a mixed
        // set: there Enter answers No.
        continueUpgrade =
            AskSkipLostFile(common::FromGbk(URLFileName()), ErrorCode, method_ != umSelfUpgrade);
        if (self.isNull())
            return;
    }
    // A self-upgrade is installed whole or not at all: the skipped file is
    // listed all the same, and the replacer, finding it missing, installs
    // nothing.
    if (continueUpgrade && method_ == umSelfUpgrade) {
        continueUpgrade = !currentFile_.isEmpty();
        if (continueUpgrade)
            seriesFiles_.append(currentFile_);
    }
    if (continueUpgrade)
        DownloadNextFile(false);
    else
        AbortUpgrade();
}

// The temporary file of a download could not be created (a program folder
// without write access): the upgrade cannot be completed, so it ends with
// the reason instead of leaving the wizard waiting.
void TauAutoUpgrader::FileNotWritten() {
    const QPointer<TauAutoUpgrader> self(this);
    ShowUpgraderMessage(OutputError(), QMessageBox::Critical);
    if (!self.isNull())
        AbortUpgrade();
}

void TauAutoUpgrader::AbortUpgrade() {
    aborted_ = true;
    FinishTransfers(true);
    DeleteTempFiles();
    if (OnAborted)
        OnAborted(this);
}

void TauAutoUpgrader::RestartApplication() {
    const QPointer<TauAutoUpgrader> self(this);
    std::function<void()> closeApp;
    if (OnDoOwnCloseAppMethod)
        closeApp = [this] { OnDoOwnCloseAppMethod(this); };
    if (upgrader::RestartApplication(restartParams_, method_, seriesFiles_, closeApp,
                                     publishedVersion_))
        return;
    // Nothing would ever install these files: the program stays as it is.
    DeleteSeriesFiles();
    ShowUpgraderMessage(LoadUpgraderText(33), QMessageBox::Critical);
}

void TauAutoUpgrader::DeleteSeriesFiles() {
    for (const QString& file : std::exchange(seriesFiles_, {}))
        QFile::remove(file);
}

}  // namespace upgrader
