#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "upgrader/auto/auto_upgrader_types.h"
#include "upgrader/auto/retry_backoff.h"
#include "upgrader/dialogs/upgrader_wizard.h"
#include "upgrader/http/custom_http.h"
#include "upgrader/info/info_file.h"
#include "upgrader/utils/wait_for_signal.h"

class QTimer;

namespace upgrader {

// An info file (or its signature) longer than this is taken as none: it is
// read into memory whole.
inline constexpr qint64 kMostInfoFileBytes = 1024 * 1024;

// Keeps the running program up to date: fetches the info file (by itself on
// a timer, or when asked), decides whether the published release is newer,
// asks the user, downloads the upgrade's files beside the program with the
// wizard showing progress, and hands over to the replacer, which puts them in
// place and starts the program again. Everything runs on the GUI thread,
// driven by the client's events; it never raises to its caller.
class TauAutoUpgrader : public TauCustomHTTP {
  public:
    explicit TauAutoUpgrader(QObject* Owner = nullptr);
    ~TauAutoUpgrader() override;

    // Run once after the configuration has been applied: a start with
    // RestartParams as first parameter raises OnAfterRestart.
    void Loaded();
    void Loaded(const QStringList& Arguments);

    // Fetches the info file. With Wait, returns when the check has ended
    // (serving GUI events meanwhile) without asking or downloading, and gives
    // whether a newer release with files is published; without it, gives the
    // result of the previous reading at once.
    bool CheckUpdate(bool Wait);
    // Stops the upgrade: the transfer ends, the wizard closes, the ".uTMP"
    // files beside the program are deleted, then OnAborted.
    void AbortUpgrade();

    // Settings.
    bool AutoCheck() const { return autoCheck_; }
    // (Re)arms the automatic check timer when the value changes.
    void SetAutoCheck(bool Value);
    // Interval of the check timer in milliseconds; 0 or less: no timer. A
    // running timer keeps the interval it was armed with. After an
    // unreachable host the first retry comes after it, further ones back off
    // (TRetryBackoff).
    qint32 AutoCheckDelay = 10000;
    // Hides the client's own setting: copied into it before each transfer
    // (with coPragmaNoCache for the info file).
    TauCacheOptions CacheOptions = kDefaultCacheOptions;
    // The publisher's record of the info file; a check never reads it.
    TauAutoUpgraderInfo InfoFile;
    QByteArray InfoFileURL = "http://";
    // The publisher's minisign public keys ("RW...", one or more separated
    // by blanks). When set, an info file counts only with a valid signature
    // by one of them beside it (InfoFileURL + ".minisig"), and every listed
    // file must carry its SHA-256 in it; when empty, info files are taken
    // unsigned and hashes checked where given.
    QByteArray UpdatePublicKey;
    const QString& RestartParams() const { return restartParams_; }
    // An empty text is kept as a single blank.
    void SetRestartParams(const QString& Value);
    TacMiscFilesUpgradeBehavior MiscFilesUpgrade = mfuAlwaysDownload;
    TauAutoUpgraderVersionControl VersionControl = byDate;
    // Release date of the running program, month/day/year; today's date at
    // construction.
    QByteArray VersionDate;
    // Only stored: the stamping it stands for happens when a form is designed.
    bool VersionDateAutoSet = true;
    QByteArray VersionNumber;
    TauAutoUpgraderShowMessages ShowMessages = kDefaultShowMessages;
    TauAutoUpgraderWizard Wizard;

    // Events.
    TauBeginUpgradeEvent OnBeginUpgrade;
    TauEndUpgradeEvent OnEndUpgrade;
    TauUpgraderNotifyEvent OnLaterUpgrade;
    TauUpgradeProgressEvent OnProgress;
    TauFileStartEvent OnFileStart;
    TauFileDoneEvent OnFileDone;
    TauUpgraderNotifyEvent OnDoOwnCloseAppMethod;
    TauUpgraderNotifyEvent OnAfterRestart;
    TauUpgraderNotifyEvent OnAborted;
    TauUpgraderNotifyEvent OnConnLost;
    TauHostUnreachableEvent OnHostUnreachable;
    TauUpgraderNotifyEvent OnNoUpdateAvailable;
    TauUpgraderNotifyEvent OnNoInfoFile;
    TauLostFileEvent OnLostFile;
    TauUpgraderPasswordEvent OnPasswordRequest;

    // State.
    bool UpdateAvailable() const { return updateAvailable_; }
    bool CheckingInfoFile() const { return checkingInfoFile_; }
    bool WaitingCheck() const { return waitingCheck_; }
    bool TimerCheckActive() const { return timerCheckActive_; }
    bool AutoCheckStarted() const { return autoCheckStarted_; }
    bool Aborted() const { return aborted_; }
    // The interval the check timer runs with; 0 when it is not armed.
    qint32 AutoCheckTimerInterval() const;
    TacUpgradeMethod Method() const { return method_; }
    const TauDownloadList& DownloadList() const { return downloadList_; }
    qint32 FileIndex() const { return fileIndex_; }
    const QString& CurrentFile() const { return currentFile_; }
    // The ".uTMP" files the replacer is to install.
    const QStringList& SeriesFiles() const { return seriesFiles_; }
    TDateTime RemoteFileTime() const { return remoteFileTime_; }

    // Ends a waiting check and the wizard's completed page, which signals it
    // when it closes.
    TauSignal& DoneEvent() { return *doneEvent_; }

  private:
    void InstallClientHandlers();

    // The automatic check.
    void ArmAutoCheckTimer(qint32 Interval);
    void ArmAutoCheckTimer() { ArmAutoCheckTimer(AutoCheckDelay); }
    void AutoCheckTimerTick();
    void RetryAutoCheck(qint64 AtLeastMs);
    void RetryBusyServer(int Status);

    // The info file and its signature.
    void InfoFileFetched(QIODevice* Stream);
    void FetchSignature();
    void SignatureFetched(QIODevice* Stream);
    void RefuseUnverifiedInfo(const char* Reason);
    QByteArray InfoFileHost() const;
    void ParseInfoFile(const QByteArray& Info);
    void OfferUpgrade(const QString& UpgradeMsg);
    void ReportNoUpdate();
    void RetrySignature();
    bool OfferedToThisClient(const TauInfoText& Info) const;
    bool RefusedBefore(const QByteArray& Version) const;
    void TellOfRefusedUpgrade();
    void InfoFileMissing();

    // Failures of any transfer.
    void ConnectionFailed();
    void ConnectionLost();
    void PasswordRequested(const QByteArray& Realm, bool& TryAgain);
    void FinishTransfers(bool DeleteOutput = false);
    void EndBrokenSeries();

    // The download series.
    void DownloadNextFile(bool First);
    void StartFileDownload();
    void OpenWizard();
    void AllFilesDownloaded();
    void FileHeaders(qint64 ContentLength, TDateTime LastModified, bool& ContinueDownload);
    bool SameSizeFileIsThere(qint64 ContentLength) const;
    void FileProgress(qint64 FileSize, qint64 BytesRead, qint32 ElapsedTime,
                      qint32 EstimatedTimeLeft, quint8 PercentDone, float TransferRate);
    void FileDone(QIODevice* Stream);
    bool DownloadHasPublishedHash() const;
    void RefuseUnverifiedFile();
    void FileLost(int ErrorCode);
    void FileNotWritten();
    void RestartApplication();
    // Deletes the ".uTMP" files this series downloaded.
    void DeleteSeriesFiles();

    // Waits until DoneEvent is signalled or the application quits, serving
    // GUI events; nothing when the upgrader was destroyed meanwhile (the
    // wait keeps the signal alive for itself).
    std::optional<TauWaitEnd> WaitForDone();

    std::shared_ptr<TauSignal> doneEvent_ = std::make_shared<TauSignal>();
    QTimer* checkTimer_;
    TRetryBackoff retryBackoff_;
    bool autoCheck_ = false;
    QString restartParams_;

    bool updateAvailable_ = false;
    bool checkingInfoFile_ = false;
    bool fetchingSignature_ = false;
    QByteArray unverifiedInfo_;
    // An info file whose signature's fetch failed: the automatic check's
    // retry fetches only the signature.
    QByteArray infoAwaitingSignature_;
    TauFileHashes fileHashes_;
    TauFileSizes fileSizes_;
    // The version (or, without one, the date) the info file publishes.
    QByteArray publishedVersion_;
    bool waitingCheck_ = false;
    bool timerCheckActive_ = false;
    bool autoCheckStarted_ = false;
    // The automatic check fetched a refused info file and signature again.
    bool refusedPairRetried_ = false;
    bool aborted_ = false;
    TacUpgradeMethod method_ = umSelfUpgrade;
    TauDownloadList downloadList_;
    qint32 fileIndex_ = 0;
    QString currentFile_;
    // The files of this series downloaded whole, for the replacer.
    QStringList seriesFiles_;
    TDateTime remoteFileTime_ = 0;
};

}  // namespace upgrader
