#pragma once

#include <curl/curl.h>

#include <QByteArray>
#include <QIODevice>
#include <functional>
#include <memory>

#include "upgrader/http/login_component.h"
#include "upgrader/http/transfer_session.h"
#include "upgrader/http/transfer_settings.h"
#include "upgrader/threads/custom_thread.h"

namespace upgrader {

class TauCustomHTTP;

using TauHTTPNotifyEvent = std::function<void(TauCustomHTTP* Sender)>;
using TauBeforeSendRequestEvent = std::function<void(TauCustomHTTP* Sender, CURL* Request)>;
using TauHeaderInfoEvent =
    std::function<void(TauCustomHTTP* Sender, int StatusCode, const QByteArray& RawHeaders,
                       const QByteArray& ContentType, const QByteArray& ContentLanguage,
                       const QByteArray& ContentEncoding, qint64 ContentLength,
                       const QByteArray& Location, TDateTime Date, TDateTime LastModified,
                       TDateTime Expires, const QByteArray& ETag, bool& ContinueDownload)>;
using TauDownloadProgressEvent =
    std::function<void(TauCustomHTTP* Sender, const QByteArray& ContentType, qint64 FileSize,
                       qint64 BytesRead, qint32 ElapsedTime, qint32 EstimatedTimeLeft,
                       quint8 PercentDone, float TransferRate, QIODevice* Stream)>;
using TauStatusChangeEvent =
    std::function<void(TauCustomHTTP* Sender, int StatusID, const QString& StatusText)>;
using TauRedirectedEvent = std::function<void(TauCustomHTTP* Sender, const QByteArray& NewURL)>;
using TauDoneEvent = std::function<void(TauCustomHTTP* Sender, const QByteArray& ContentType,
                                        qint64 FileSize, QIODevice* Stream)>;
using TauDoneInterruptedEvent =
    std::function<void(TauCustomHTTP* Sender, const QByteArray& ContentType, qint64 ContentLength,
                       qint64 BytesRead, QIODevice* Stream)>;
using TauHTTPErrorEvent =
    std::function<void(TauCustomHTTP* Sender, int ErrorCode, QIODevice* Stream)>;
using TauPasswordRequestEvent =
    std::function<void(TauCustomHTTP* Sender, const QByteArray& Realm, bool& TryAgain)>;
using TauProxyAuthenticationEvent = std::function<void(
    TauCustomHTTP* Sender, QByteArray& ProxyUsername, QByteArray& ProxyPassword, bool& TryAgain)>;
using TauWaitTimeoutExpiredEvent = std::function<void(TauCustomHTTP* Sender, bool& Terminate)>;

// Fetches one URL at a time (http, https, or a local "file" URL) on a worker
// thread, into the output file or into memory, and reports to its owner
// through events on the GUI thread. Never raises to its caller: every
// outcome is an event.
//
// Events of one transfer come in this order: OnBeforeSendRequest;
// OnHTTPPasswordRequest or OnProxyAuthenticationRequest per 401 or 407
// answer; OnHeaderInfo; OnDownloadProgress per stored chunk; then the end:
// OnDone; or OnAnyError and OnDoneWithoutStream; or OnDoneInterrupted,
// OnConnectionFailed or OnHTTPError followed by OnAnyError; or only
// OnTransferStopped when OnHeaderInfo stopped the transfer. After Abort
// the end is OnTransferAborted alone. OnBeforeSendRequest, OnStatusChange
// and OnRedirected run on the worker thread and must not touch GUI objects;
// all others run on the GUI thread while the worker waits for them.
// Destroying the component during a transfer stops it without any event.
class TauCustomHTTP : public TauLoginComponent, public TauHTTPSettings {
  public:
    explicit TauCustomHTTP(QObject* Owner = nullptr);
    ~TauCustomHTTP() override;

    // Starts a transfer; refused (false, nothing changes) while one is
    // active. StartRange/EndRange resume a download from that byte (the
    // first chunk is checked against the output file, which must hold it) or
    // ask for that part. With Wait, returns when the transfer ended (the GUI
    // thread goes on serving events meanwhile). False also when the worker
    // could not start or, with Wait, WaitTimeout expired.
    bool Read(quint64 StartRange, quint64 EndRange, bool Wait);
    bool Read(bool Wait) { return Read(0, 0, Wait); }
    // Stops the transfer; DeleteOutputFile deletes a created output file.
    // With Force the output is released and OnTransferAborted raised before
    // Abort returns; without it, at the worker's next checkpoint.
    void Abort(bool DeleteOutputFile = false, bool Force = false);
    // A transfer runs: from Read until its end is being reported.
    bool Busy() const { return busy_; }
    // A transfer is active: from Read until its output is released.
    bool Active() const { return active_; }
    // Closes the output file (giving it the Incomplete attributes) or frees
    // the memory stream; the component becomes idle.
    void ReleaseOutput();

    QByteArray URLFileName() const;
    QByteArray URLHostName() const;

    TThreadPriority ThreadPriority() const;
    void SetThreadPriority(TThreadPriority Value);
    // Limit of a waiting Read in milliseconds (0: none); when it expires,
    // OnWaitTimeoutExpired decides whether the transfer is stopped.
    quint32 WaitTimeout = 0;

    // The transfer's state (see TauTransferState); read it in handlers or
    // after the end.
    const TauTransferState& State() const;
    int StatusCode() const { return State().StatusCode; }
    qint64 ContentLength() const { return State().ContentLength; }
    qint64 BytesTransferred() const { return State().BytesTransferred; }
    // Why the output file could not be created: "Cannot create file ...".
    QString OutputError() const { return State().OutputError; }
    // The body in memory passed MemoryBodyLimit, ending the transfer.
    bool BodyTooLarge() const { return State().BodyTooLarge; }

    // There is no stream upload mode and so no OnUploadProgress: Read
    // switches that mode off and nothing in this program can switch it on,
    // so a request's body is only ever PostData.
    TauBeforeSendRequestEvent OnBeforeSendRequest;
    TauHeaderInfoEvent OnHeaderInfo;
    TauDownloadProgressEvent OnDownloadProgress;
    TauStatusChangeEvent OnStatusChange;
    TauRedirectedEvent OnRedirected;
    TauDoneEvent OnDone;
    TauDoneInterruptedEvent OnDoneInterrupted;
    TauHTTPErrorEvent OnHTTPError;
    TauHTTPNotifyEvent OnConnectionFailed;
    TauHTTPNotifyEvent OnDoneWithoutStream;
    TauHTTPNotifyEvent OnAnyError;
    TauHTTPNotifyEvent OnTransferStopped;
    TauHTTPNotifyEvent OnTransferAborted;
    TauPasswordRequestEvent OnHTTPPasswordRequest;
    TauProxyAuthenticationEvent OnProxyAuthenticationRequest;
    TauWaitTimeoutExpiredEvent OnWaitTimeoutExpired;

  private:
    friend class TauTransferRoutine;

    std::shared_ptr<TauTransferSession> NewSession(quint64 StartRange, quint64 EndRange);
    void PrepareWorker(const std::shared_ptr<TauTransferSession>& session);
    // The end of a transfer, on the GUI thread.
    void Complete(std::shared_ptr<TauTransferSession> session);
    void CompleteWithOutcome(const std::shared_ptr<TauTransferSession>& session);
    void AbortCleanUp(const std::shared_ptr<TauTransferSession>& session);
    void ReleaseSessionOutput(TauTransferSession& session);
    void WaitTimedOut(bool& Terminate);
    bool IsCurrent(const std::shared_ptr<TauTransferSession>& session) const;

    // Raised on the GUI thread for the routine.
    void RaiseHeaderInfo(TauTransferSession& session, bool& ContinueDownload);
    // One event per chunk, with the figures the chunk had when it was stored.
    void RaiseDownloadProgress(TauTransferSession& session, qint64 bytes,
                               const TauProgressFigures& progress);
    void RaisePasswordRequest(TauTransferSession& session, const QByteArray& Realm, bool& TryAgain);
    void RaiseProxyAuthentication(TauTransferSession& session, bool& TryAgain);

    TauCustomThread* worker_;
    std::shared_ptr<TauTransferSession> session_;
    bool busy_ = false;
    bool active_ = false;
    bool destroying_ = false;
};

}  // namespace upgrader
