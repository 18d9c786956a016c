// What follows the fetch of the info file, and the failures of any transfer.
#include <QDateTime>
#include <QFile>
#include <QPointer>

#include "common/application.h"
#include "common/text_codec.h"
#include "upgrader/auto/auto_upgrader.h"
#include "upgrader/auto/rollout.h"
#include "upgrader/auto/upgrader_messages.h"
#include "upgrader/auto/version_decision.h"
#include "upgrader/dialogs/password_form.h"
#include "upgrader/dialogs/upgrade_question.h"
#include "upgrader/dialogs/wizard_form.h"
#include "upgrader/info/info_file.h"
#include "upgrader/replacement/refused_upgrade.h"
#include "upgrader/texts/upgrader_texts.h"
#include "upgrader/utils/curl_url.h"
#include "upgrader/utils/open_url.h"
#include "upgrader/utils/versions.h"

namespace upgrader {

// The check got a usable answer: the next failure starts the backoff over.
void TauAutoUpgrader::ParseInfoFile(const QByteArray& Info) {
    retryBackoff_.Reset();
    const QPointer<TauAutoUpgrader> self(this);
    const TauInfoText info(Info);
    downloadList_ = info.FileList();
    fileHashes_ = info.FileHashes();
    fileSizes_ = info.FileSizes();
    publishedVersion_ = info.Value("version", false);
    if (publishedVersion_.isEmpty())
        publishedVersion_ = info.Value("date", false);
    updateAvailable_ = IsNewerVersion(info, VersionControl, VersionNumber, VersionDate) &&
                       !downloadList_.isEmpty() && !RefusedBefore(publishedVersion_) &&
                       OfferedToThisClient(info);
    if (updateAvailable_) {
        // The notice is GBK text; shown decoded.
        const QString message = common::FromGbk(info.Value("message", true));
        method_ = info.UpgradeMethod();
        if (OnBeginUpgrade)
            OnBeginUpgrade(this, message, method_, downloadList_, updateAvailable_);
        if (self.isNull())
            return;
        if (!waitingCheck_)
            OfferUpgrade(message);
    } else {
        ReportNoUpdate();
    }
    if (!self.isNull())
        SignalEvent(DoneEvent());
}

// A staged release waits until this client's number is within its share.
bool TauAutoUpgrader::OfferedToThisClient(const TauInfoText& Info) const {
    const std::optional<TauRollout> rollout = ReadRollout(Info);
    if (!rollout)
        return true;
    const bool offered =
        IsOfferedByRollout(rollout, QDateTime::currentSecsSinceEpoch(), RolloutNumber());
    if (!offered)
        qInfo("Version %s is not yet offered to this client (staged release)",
              publishedVersion_.constData());
    return offered;
}

// A version whose program did not come up here is not offered by the
// automatic check again (one the user asks for still is); a newer one ends
// the record.
bool TauAutoUpgrader::RefusedBefore(const QByteArray& Version) const {
    const std::optional<TauRefusedUpgrade> refused = ReadRefusedUpgrade();
    if (!refused)
        return false;
    if (Version == refused->Version)
        return autoCheckStarted_;
    if (CompareVersions(Version, refused->Version) > 0)
        ClearRefusedUpgrade();
    return false;
}

// Once, after the old program was put back: which version could not start.
void TauAutoUpgrader::TellOfRefusedUpgrade() {
    const std::optional<TauRefusedUpgrade> refused = ReadRefusedUpgrade();
    if (!refused || refused->Told)
        return;
    MarkRefusedUpgradeTold();
    ShowUpgraderMessage(FormatUpgraderText(34, {common::FromGbk(refused->Version)}),
                        QMessageBox::Warning);
}

void TauAutoUpgrader::OfferUpgrade(const QString& UpgradeMsg) {
    const QPointer<TauAutoUpgrader> self(this);
    // A handler that emptied the list left nothing to upgrade with: the
    // series would restart the program for nothing.
    bool upgrade = updateAvailable_ && !downloadList_.isEmpty();
    if (upgrade && ShowMessages.testFlag(mAskUpgrade))
        upgrade = ShowUpgradeQuestion(UpgradeMsg);
    if (self.isNull())
        return;
    if (!upgrade) {
        if (OnLaterUpgrade)
            OnLaterUpgrade(this);
    } else if (method_ == umRedirectToURL) {
        // The browser gets the page as its one argument: only a web address,
        // which can never read as one of its options.
        if (IsWebAddress(downloadList_.first()))
            OpenURL(common::FromGbk(downloadList_.first()), true);
        else
            qWarning("Upgrade page %s refused: not a web address",
                     downloadList_.first().constData());
    } else {
        DownloadNextFile(true);
    }
}

void TauAutoUpgrader::ReportNoUpdate() {
    const QPointer<TauAutoUpgrader> self(this);
    if (OnNoUpdateAvailable)
        OnNoUpdateAvailable(this);
    if (!self.isNull() && !autoCheckStarted_ && ShowMessages.testFlag(mNoUpdateAvailable))
        ShowUpgraderMessage(LoadUpgraderText(24), QMessageBox::Information);
}

void TauAutoUpgrader::InfoFileMissing() {
    const QPointer<TauAutoUpgrader> self(this);
    SignalEvent(DoneEvent());
    if (OnNoInfoFile)
        OnNoInfoFile(this);
    if (!self.isNull() && ShowMessages.testFlag(mNoInfoFile))
        ShowUpgraderMessage(LoadUpgraderText(25), QMessageBox::Critical);
}

// An automatic check (or the series it started) tries again without a word,
// first after AutoCheckDelay, then backing off; any other check says so when
// asked to.
void TauAutoUpgrader::ConnectionFailed() {
    const QPointer<TauAutoUpgrader> self(this);
    const QByteArray host = URLHostName();
    if (OnHostUnreachable)
        OnHostUnreachable(this, URL, host);
    if (self.isNull())
        return;
    if (autoCheckStarted_) {
        RetryAutoCheck(0);
    } else if (ShowMessages.testFlag(mHostUnreachable)) {
        const QString where = "'http://" + common::FromGbk(host) + u'\'';
        ShowUpgraderMessage(FormatUpgraderText(26, {where}), QMessageBox::Critical);
    }
    if (!self.isNull())
        EndBrokenSeries();
}

// An info file cut short or trickling below the rate floor is, for the
// automatic check, one more failure to retry without a word.
void TauAutoUpgrader::ConnectionLost() {
    const QPointer<TauAutoUpgrader> self(this);
    if (OnConnLost)
        OnConnLost(this);
    if (self.isNull())
        return;
    if (autoCheckStarted_ && checkingInfoFile_)
        RetryAutoCheck(0);
    else if (ShowMessages.testFlag(mConnLost))
        ShowUpgraderMessage(LoadUpgraderText(30), QMessageBox::Critical);
    if (!self.isNull())
        EndBrokenSeries();
}

// A series that broke off leaves nothing behind: its files would never be
// installed (the replacer takes only a whole series' files), and the next
// series downloads them again.
void TauAutoUpgrader::EndBrokenSeries() {
    FinishTransfers();
    if (checkingInfoFile_)
        return;
    if (!currentFile_.isEmpty())
        QFile::remove(currentFile_);
    DeleteSeriesFiles();
}

// With a key built in, whoever answers plain http may be an attacker: the
// 401 is only logged, and ends the transfer as any other refusal does.
void TauAutoUpgrader::PasswordRequested(const QByteArray& Realm, bool& TryAgain) {
    if (!UpdatePublicKey.isEmpty() && !URL.toLower().startsWith("https://")) {
        qWarning("%s asks for a password over plain http: none is sent", URL.constData());
        return;
    }
    const QPointer<TauAutoUpgrader> self(this);
    if (OnPasswordRequest)
        OnPasswordRequest(this, Realm, TryAgain);
    if (self.isNull() || TryAgain || !ShowMessages.testFlag(mPasswordRequest))
        return;
    QString username = common::FromGbk(HTTPUsername);
    QString password = common::FromGbk(HTTPPassword);
    const bool entered = AskPassword(common::FromGbk(URLFileName()), username, password);
    if (self.isNull())
        return;
    if (entered) {
        HTTPUsername = common::ToGbk(username);
        HTTPPassword = common::ToGbk(password);
        TryAgain = true;
    } else {
        AbortUpgrade();
    }
}

void TauAutoUpgrader::FinishTransfers(bool DeleteOutput) {
    SignalEvent(DoneEvent());
    if (Busy())
        Abort(DeleteOutput, false);
    DeleteWizardForm();
}

}  // namespace upgrader
