#include "upgrader/http/custom_http.h"

#include <QFile>
#include <QPointer>

#include "upgrader/http/transfer_routine.h"
#include "upgrader/utils/url_split.h"

namespace upgrader {

namespace {

const TauTransferState kNoTransfer;

}  // namespace

TauCustomHTTP::TauCustomHTTP(QObject* Owner)
    : TauLoginComponent(Owner), worker_(new TauCustomThread(this)) {
    worker_->OnException = [this](TauCustomThread*) {
        if (OnAnyError)
            OnAnyError(this);
    };
    worker_->OnWaitTimeout = [this](TauCustomThread*, bool& Terminate) { WaitTimedOut(Terminate); };
}

// A transfer in progress stops without any event: its worker is let go and
// its output released (a partial file is kept).
TauCustomHTTP::~TauCustomHTTP() {
    destroying_ = true;
    if (session_)
        session_->Detach();
    delete worker_;
    if (session_)
        ReleaseSessionOutput(*session_);
}

bool TauCustomHTTP::Read(quint64 StartRange, quint64 EndRange, bool Wait) {
    if (active_ || destroying_)
        return false;
    if (session_)
        session_->Detach();
    busy_ = true;
    active_ = true;
    session_ = NewSession(StartRange, EndRange);
    PrepareWorker(session_);
    const QPointer<TauCustomHTTP> self(this);
    const bool waitedBefore = worker_->WaitForCompletion;
    worker_->WaitForCompletion = Wait;
    worker_->WaitTimeout = WaitTimeout;
    const bool started = worker_->Execute();
    if (!self.isNull())
        worker_->WaitForCompletion = waitedBefore;
    return started;
}

std::shared_ptr<TauTransferSession> TauCustomHTTP::NewSession(quint64 StartRange,
                                                              quint64 EndRange) {
    TauTransferSettings settings;
    static_cast<TauHTTPSettings&>(settings) = *this;
    settings.OutputFileAttributes.OnChange = nullptr;
    settings.HTTPUsername = HTTPUsername;
    settings.HTTPPassword = HTTPPassword;
    auto session = std::make_shared<TauTransferSession>(
        this, std::move(settings),
        TauWorkerEvents{OnBeforeSendRequest, OnStatusChange, OnRedirected});
    session->state.ResumeOffset = StartRange;
    session->state.ResumeEnd = EndRange;
    session->hasHeaderInfo = bool(OnHeaderInfo);
    session->hasDownloadProgress = bool(OnDownloadProgress);
    session->hasPasswordRequest = bool(OnHTTPPasswordRequest);
    session->hasProxyAuthentication = bool(OnProxyAuthenticationRequest);
    return session;
}

void TauCustomHTTP::PrepareWorker(const std::shared_ptr<TauTransferSession>& session) {
    worker_->OnExecute = [this, session](TauCustomThread*) {
        TauTransferRoutine(session, this).Run();
    };
    // Complete gets its own reference: a handler that starts the next
    // transfer replaces this closure while it runs.
    worker_->OnFinish = [this, session](TauCustomThread*) { Complete(session); };
}

void TauCustomHTTP::Abort(bool DeleteOutputFile, bool Force) {
    if (!busy_ || !session_)
        return;
    const std::shared_ptr<TauTransferSession> session = session_;
    session->deleteOnAbort = DeleteOutputFile;
    session->life.RequestAbort();
    if (!Force) {
        worker_->Terminate(false);
        session->waker.Wake();
        return;
    }
    session->Detach();
    worker_->Terminate(true);
    AbortCleanUp(session);
}

// The end of an aborted transfer: its output is released (and deleted when
// asked), then OnTransferAborted.
void TauCustomHTTP::AbortCleanUp(const std::shared_ptr<TauTransferSession>& session) {
    const TauTransferOutput::Released released =
        session->output.Release(OutputFileAttributes.Incomplete());
    if (IsCurrent(session)) {
        busy_ = false;
        active_ = false;
    }
    if (released.fileCreated && session->deleteOnAbort)
        QFile::remove(released.fileName);
    if (destroying_ || !OnTransferAborted)
        return;
    // Raised on the caller's thread by a forced abort: the caller gets no
    // exception, whatever the handler does.
    try {
        OnTransferAborted(this);
    } catch (...) {
    }
}

void TauCustomHTTP::ReleaseOutput() {
    if (session_)
        ReleaseSessionOutput(*session_);
    busy_ = false;
    active_ = false;
}

void TauCustomHTTP::ReleaseSessionOutput(TauTransferSession& session) {
    session.output.Release(OutputFileAttributes.Incomplete());
}

bool TauCustomHTTP::IsCurrent(const std::shared_ptr<TauTransferSession>& session) const {
    return session_ == session;
}

void TauCustomHTTP::WaitTimedOut(bool& Terminate) {
    const QPointer<TauCustomHTTP> self(this);
    try {
        if (OnWaitTimeoutExpired)
            OnWaitTimeoutExpired(this, Terminate);
    } catch (...) {
        // The caller of Read gets no exception; the transfer is stopped.
    }
    if (self.isNull() || !Terminate || !session_)
        return;
    session_->Detach();
    ReleaseOutput();
}

QByteArray TauCustomHTTP::URLFileName() const {
    return URLToFileName(URL);
}

QByteArray TauCustomHTTP::URLHostName() const {
    return URLToHostName(URL);
}

TThreadPriority TauCustomHTTP::ThreadPriority() const {
    return worker_->Priority();
}

void TauCustomHTTP::SetThreadPriority(TThreadPriority Value) {
    worker_->SetPriority(Value);
}

const TauTransferState& TauCustomHTTP::State() const {
    return session_ ? session_->state : kNoTransfer;
}

void TauCustomHTTP::RaiseHeaderInfo(TauTransferSession& session, bool& ContinueDownload) {
    const TauTransferState& s = session.state;
    if (OnHeaderInfo)
        OnHeaderInfo(this, s.StatusCode, s.RawHeaders, s.ContentType, s.ContentLanguage,
                     s.ContentEncoding, s.ContentLength + qint64(s.ResumeOffset), s.Location,
                     s.Date, s.LastModified, s.Expires, s.ETag, ContinueDownload);
}

// The handler gets the output stream to look at; where it leaves the stream
// does not move where the next chunk goes.
void TauCustomHTTP::RaiseDownloadProgress(TauTransferSession& session, qint64 bytes,
                                          const TauProgressFigures& progress) {
    if (!OnDownloadProgress)
        return;
    const TauTransferState& s = session.state;
    QIODevice* stream = session.output.Stream();
    const QPointer<QIODevice> watched(stream);
    const qint64 position = stream != nullptr ? stream->pos() : 0;
    const auto offset = qint64(s.ResumeOffset);
    OnDownloadProgress(this, s.ContentType, s.ContentLength + offset, bytes + offset,
                       progress.ElapsedTime, progress.EstimatedTimeLeft, progress.PercentDone,
                       progress.TransferRate, stream);
    if (!watched.isNull() && watched->pos() != position)
        watched->seek(position);
}

void TauCustomHTTP::RaisePasswordRequest(TauTransferSession& session, const QByteArray& Realm,
                                         bool& TryAgain) {
    const QPointer<TauCustomHTTP> self(this);
    if (OnHTTPPasswordRequest)
        OnHTTPPasswordRequest(this, Realm, TryAgain);
    if (self.isNull())
        return;
    session.settings.HTTPUsername = HTTPUsername;
    session.settings.HTTPPassword = HTTPPassword;
}

void TauCustomHTTP::RaiseProxyAuthentication(TauTransferSession& session, bool& TryAgain) {
    const QPointer<TauCustomHTTP> self(this);
    if (OnProxyAuthenticationRequest)
        OnProxyAuthenticationRequest(this, Proxy.ProxyUsername, Proxy.ProxyPassword, TryAgain);
    if (self.isNull())
        return;
    session.settings.Proxy.ProxyUsername = Proxy.ProxyUsername;
    session.settings.Proxy.ProxyPassword = Proxy.ProxyPassword;
}

}  // namespace upgrader
