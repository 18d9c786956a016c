#include "upgrader/auto/auto_upgrader.h"

#include <QCoreApplication>
#include <QDate>
#include <QTimer>

#include "upgrader/dialogs/wizard_form.h"
#include "upgrader/info/version_date.h"
#include "upgrader/replacement/private_folder.h"
#include "upgrader/replacement/restart_params.h"

namespace upgrader {

TauAutoUpgrader::TauAutoUpgrader(QObject* Owner)
    : TauCustomHTTP(Owner), checkTimer_(new QTimer(this)), restartParams_(kDefaultRestartParams) {
    OutputFileAttributes.SetIncomplete(atrArchive | atrHidden | atrTemporary);
    MemoryBodyLimit = kMostInfoFileBytes;
    // Under 1 KiB/s for a minute: a server that trickles ends the transfer.
    MinimumRate = 1024;
    MinimumRateWindow = 60;
    InstallClientHandlers();
    // The replacer of an earlier upgrade has done its work by now.
    DeleteEarlierReplacerFolders();
    VersionDate = FormatVersionDate(DateTimeFromDate(QDate::currentDate()));
    checkTimer_->setTimerType(Qt::CoarseTimer);
    QObject::connect(checkTimer_, &QTimer::timeout, this, [this] { AutoCheckTimerTick(); });
}

TauAutoUpgrader::~TauAutoUpgrader() {
    SetAutoCheck(false);
    // A wait of ours that is still running ends once we are gone, and so
    // does the series' wizard.
    SignalEvent(DoneEvent());
    DeleteWizardForm();
}

void TauAutoUpgrader::InstallClientHandlers() {
    OnHeaderInfo = [this](TauCustomHTTP*, int, const QByteArray&, const QByteArray&,
                          const QByteArray&, const QByteArray&, qint64 ContentLength,
                          const QByteArray&, TDateTime, TDateTime LastModified, TDateTime,
                          const QByteArray&, bool& ContinueDownload) {
        if (!checkingInfoFile_)
            FileHeaders(ContentLength, LastModified, ContinueDownload);
    };
    OnDownloadProgress = [this](TauCustomHTTP*, const QByteArray&, qint64 FileSize,
                                qint64 BytesRead, qint32 ElapsedTime, qint32 EstimatedTimeLeft,
                                quint8 PercentDone, float TransferRate, QIODevice*) {
        if (!checkingInfoFile_)
            FileProgress(FileSize, BytesRead, ElapsedTime, EstimatedTimeLeft, PercentDone,
                         TransferRate);
    };
    OnDone = [this](TauCustomHTTP*, const QByteArray&, qint64, QIODevice* Stream) {
        if (checkingInfoFile_ && fetchingSignature_)
            SignatureFetched(Stream);
        else if (checkingInfoFile_)
            InfoFileFetched(Stream);
        else
            FileDone(Stream);
    };
    OnTransferStopped = [this](TauCustomHTTP*) {
        if (!checkingInfoFile_)
            DownloadNextFile(false);
    };
    OnHTTPError = [this](TauCustomHTTP*, int ErrorCode, QIODevice*) {
        if (checkingInfoFile_ && fetchingSignature_)
            RefuseUnverifiedInfo("there is no signature beside it");
        else if (checkingInfoFile_) {
            RetryBusyServer(ErrorCode);
            InfoFileMissing();
        } else {
            FileLost(ErrorCode);
        }
    };
    OnDoneWithoutStream = [this](TauCustomHTTP*) {
        if (!checkingInfoFile_)
            FileNotWritten();
    };
    OnDoneInterrupted = [this](TauCustomHTTP*, const QByteArray&, qint64, qint64, QIODevice*) {
        if (checkingInfoFile_ && BodyTooLarge() && fetchingSignature_)
            RefuseUnverifiedInfo("the signature file is too large");
        else if (checkingInfoFile_ && BodyTooLarge())
            InfoFileMissing();
        else if (BodyTooLarge())
            RefuseUnverifiedFile();
        else
            ConnectionLost();
    };
    OnConnectionFailed = [this](TauCustomHTTP*) { ConnectionFailed(); };
    OnHTTPPasswordRequest = [this](TauCustomHTTP*, const QByteArray& Realm, bool& TryAgain) {
        PasswordRequested(Realm, TryAgain);
    };
}

void TauAutoUpgrader::Loaded() {
    Loaded(QCoreApplication::arguments());
}

void TauAutoUpgrader::Loaded(const QStringList& Arguments) {
    // Told once the event loop runs, over the program's window.
    QTimer::singleShot(0, this, [this] { TellOfRefusedUpgrade(); });
    if (OnAfterRestart && WasRestartedByUpgrade(Arguments, restartParams_))
        OnAfterRestart(this);
}

void TauAutoUpgrader::SetRestartParams(const QString& Value) {
    restartParams_ = StoredRestartParams(Value);
}

}  // namespace upgrader
