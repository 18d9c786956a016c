#include "upgrader/http/transfer_routine.h"

#include <QFileInfo>
#include <algorithm>

#include "upgrader/http/auth_realm.h"
#include "upgrader/http/custom_http.h"
#include "upgrader/http/request_options.h"
#include "upgrader/http/request_url.h"
#include "upgrader/http/status_texts.h"
#include "upgrader/threads/custom_thread.h"
#include "upgrader/utils/http_date.h"

namespace upgrader {

namespace {

// A local file is read in pieces of at most this size, whatever the buffer
// size setting allows.
constexpr qint64 kLargestLocalRead = 1024 * 1024;

bool IsBodyStatus(int status) {
    return status == 200 || status == 206;
}

std::optional<qint64> NumberOf(const std::optional<QByteArray>& text) {
    bool ok = false;
    const qint64 value = text ? text->toLongLong(&ok) : 0;
    return ok && value >= 0 ? std::optional(value) : std::nullopt;
}

// The first byte of a range answer ("bytes 100-199/1000").
std::optional<quint64> RangeStartOf(const QByteArray& contentRange) {
    const QByteArray range = contentRange.mid(contentRange.indexOf(' ') + 1);
    bool ok = false;
    const quint64 start = range.left(range.indexOf('-')).toULongLong(&ok);
    return ok ? std::optional(start) : std::nullopt;
}

}  // namespace

TauTransferRoutine::TauTransferRoutine(std::shared_ptr<TauTransferSession> Session,
                                       TauCustomHTTP* Component)
    : session_(std::move(Session)),
      settings_(session_->settings),
      state_(session_->state),
      component_(Component),
      run_(TauThreadRun::Current()) {}

void TauTransferRoutine::Run() {
    Transfer();
    if (stopped_)
        EndAborted();
}

bool TauTransferRoutine::KeepGoing() {
    if (stopped_)
        return false;
    const bool stop =
        (run_ && !run_->Checkpoint()) || session_->abortRequested || session_->Detached();
    return !stop;
}

bool TauTransferRoutine::StopRequested() {
    return stopped_ || (run_ && run_->StopRequested()) || session_->abortRequested;
}

void TauTransferRoutine::Status(int StatusID, const QByteArray& Information) {
    session_->RaiseOnWorker([&](TauCustomHTTP* sender, const TauWorkerEvents& events) {
        if (events.OnStatusChange)
            events.OnStatusChange(sender, StatusID, StatusText(StatusID));
        if (StatusID == stRedirect && events.OnRedirected)
            events.OnRedirected(sender, Information);
    });
}

// A checkpoint: false once the transfer is to stop.
bool TauTransferRoutine::Go() {
    if (!stopped_ && !KeepGoing())
        stopped_ = true;
    return !stopped_;
}

// Runs the call on the GUI thread while the worker waits; false (and the
// transfer stops) when the run was abandoned, since the component may then
// be gone.
bool TauTransferRoutine::OnGui(const std::function<void(TauCustomHTTP&)>& Call) {
    TauCustomHTTP* component = component_;
    if (run_)
        SynchronizeRun(run_, [&] { Call(*component); });
    if (run_ && run_->Abandoned())
        stopped_ = true;
    return !stopped_;
}

// After a stop at a checkpoint (the requests are closed by now): unless the
// component already did it (a stop by force), the output is released and the
// abort reported, and the run ends its dealings with the component.
void TauTransferRoutine::EndAborted() {
    if (!run_ || run_->Abandoned())
        return;
    SynchronizeRun(run_, [&] { component_->AbortCleanUp(session_); });
    run_->Abandon();
}

void TauTransferRoutine::Transfer() {
    state_.StatusCode = -1;
    state_.ContentType.clear();
    start_ = std::chrono::steady_clock::now();
    state_.Continue = true;
    if (!PrepareTarget() || !Go())
        return;
    if (parts_.Scheme.compare("file", Qt::CaseInsensitive) == 0) {
        FetchLocalFile();
        return;
    }
    // Off-line, only a cache could answer, and there is none.
    if (settings_.WorkOffline) {
        state_.Success = false;
        return;
    }
    FetchOverHttp();
}

bool TauTransferRoutine::PrepareTarget() {
    state_.Success = SplitURL(settings_.URL, parts_);
    if (!state_.Success)
        return false;
    requestUrl_ = RequestURL(settings_.URL);
    userName_ = parts_.UserName.isEmpty() ? settings_.HTTPUsername : parts_.UserName;
    password_ = parts_.Password.isEmpty() ? settings_.HTTPPassword : parts_.Password;
    return true;
}

void TauTransferRoutine::FetchOverHttp() {
    for (;;) {
        if (!Go())
            return;
        TauCurlRequest request(*this, session_->waker, IdleLimitsOf(settings_.Timeouts));
        state_.Success = request.IsOpen() &&
                         ApplyRequestOptions(request, settings_, requestUrl_, parts_.HostName);
        if (!state_.Success || !Go())
            return;
        ApplyCredentials(request, settings_, userName_, password_);
        session_->RaiseOnWorker([&](TauCustomHTTP* sender, const TauWorkerEvents& events) {
            if (events.OnBeforeSendRequest)
                events.OnBeforeSendRequest(sender, request.Handle());
        });
        request.SetHeaderLines(RequestHeaderLines(
            settings_, RangeLine(state_.ResumeOffset, state_.ResumeEnd, settings_.Range)));
        Step step = Exchange(request);
        if (step == Step::Body)
            step = Body(request);
        if (step != Step::Reconnect)
            return;
    }
}

// Sends the request (again while an authentication handler asks for it)
// until a final answer's headers are in.
TauTransferRoutine::Step TauTransferRoutine::Exchange(TauCurlRequest& Request) {
    for (;;) {
        if (!Go())
            return Step::End;
        const TauCurlRequest::Outcome outcome = Request.RunUntilHeaders();
        if (outcome == TauCurlRequest::Outcome::Stopped || !Go()) {
            stopped_ = true;
            return Step::End;
        }
        state_.StatusCode = Request.StatusCode();
        state_.Success = state_.StatusCode > 0;
        if (!state_.Success)
            return Step::End;
        if (state_.StatusCode == 416 && state_.ResumeOffset != 0)
            return CheckResumeRefusal(Request);
        bool resend = false;
        if (state_.StatusCode == 401 && session_->hasPasswordRequest)
            resend = AskForLogin(Request);
        else if (state_.StatusCode == 407 && session_->hasProxyAuthentication)
            resend = AskForProxyLogin(Request);
        if (stopped_)
            return Step::End;
        if (!resend)
            break;
    }
    if (!Go())
        return Step::End;
    ReadHeaders(Request);
    if (!session_->hasHeaderInfo)
        return Step::Body;
    bool continueDownload = true;
    if (!OnGui([&](TauCustomHTTP& c) { c.RaiseHeaderInfo(*session_, continueDownload); }))
        return Step::End;
    if (continueDownload)
        return Step::Body;
    state_.Continue = false;
    Request.Cancel();
    return Step::End;
}

bool TauTransferRoutine::AskForLogin(TauCurlRequest& Request) {
    const QByteArray realm = RealmOfChallenge(Request.Header("WWW-Authenticate").value_or(""));
    bool tryAgain = false;
    if (!OnGui([&](TauCustomHTTP& c) { c.RaisePasswordRequest(*session_, realm, tryAgain); }))
        return false;
    if (tryAgain) {
        Request.Cancel();
        ApplyCredentials(Request, settings_, settings_.HTTPUsername, settings_.HTTPPassword);
    }
    return tryAgain;
}

bool TauTransferRoutine::AskForProxyLogin(TauCurlRequest& Request) {
    bool tryAgain = false;
    if (!OnGui([&](TauCustomHTTP& c) { c.RaiseProxyAuthentication(*session_, tryAgain); }))
        return false;
    if (tryAgain) {
        Request.Cancel();
        ApplyProxyCredentials(Request, settings_);
    }
    return tryAgain;
}

// 416 to a resumed request: when the whole entity is exactly as long as the
// offset, the output already holds it all; otherwise it is fetched again
// from its start.
TauTransferRoutine::Step TauTransferRoutine::CheckResumeRefusal(TauCurlRequest& Request) {
    Request.Cancel();
    Request.SetHeaderLines(RequestHeaderLines(settings_, FormatRangeLine(0, 0)));
    const TauCurlRequest::Outcome outcome = Request.RunUntilHeaders();
    if (outcome == TauCurlRequest::Outcome::Stopped || !Go()) {
        stopped_ = true;
        return Step::End;
    }
    const int status = Request.StatusCode();
    const qint64 fullSize =
        IsBodyStatus(status) ? NumberOf(Request.Header("Content-Length")).value_or(0) : 0;
    Request.Cancel();
    if (fullSize == qint64(state_.ResumeOffset)) {
        state_.StatusCode = status;
        state_.Success = true;
        return Step::End;
    }
    ForgetResume();
    return Step::Reconnect;
}

void TauTransferRoutine::ReadHeaders(TauCurlRequest& Request) {
    auto header = [&](const char* name) { return Request.Header(name).value_or(QByteArray()); };
    state_.ContentType = header("Content-Type");
    const std::optional<qint64> length = NumberOf(Request.Header("Content-Length"));
    state_.ContentLength = length.value_or(0);
    state_.Success = length.has_value();
    // Without a range answer the server sent the whole entity; with one,
    // the body starts where the server says.
    const std::optional<QByteArray> range = Request.Header("Content-Range");
    state_.ResumeOffset = range ? RangeStartOf(*range).value_or(state_.ResumeOffset) : 0;
    state_.RawHeaders = Request.RawHeaders();
    state_.ContentLanguage = header("Content-Language");
    state_.ContentEncoding = header("Content-Encoding");
    state_.Location = header("Location");
    state_.ETag = header("ETag");
    state_.Date = ParseHTTPDate(header("Date"));
    state_.LastModified = ParseHTTPDate(header("Last-Modified"));
    state_.Expires = ParseHTTPDate(header("Expires"));
}

TauTransferRoutine::Step TauTransferRoutine::Body(TauCurlRequest& Request) {
    const Output output = OpenOutput();
    if (output == Output::ResumeFailed) {
        ForgetResume();
        return Step::Reconnect;
    }
    if (output == Output::End)
        return Step::End;
    const std::function<bool(const char*, size_t)> sink = [this](const char* data, size_t size) {
        return Store(data, size);
    };
    const TauCurlRequest::Outcome outcome = Request.RunBody(sink);
    if (outcome == TauCurlRequest::Outcome::Stopped || stopped_ || !Go()) {
        stopped_ = true;
        return Step::End;
    }
    if (resumeFailed_) {
        ForgetResume();
        return Step::Reconnect;
    }
    FinishBody(Request.Result() != CURLE_OK);
    return Step::End;
}

// Where the body goes: the output file for a body of the entity, else (and
// when the file cannot be made while the length is unknown) memory.
TauTransferRoutine::Output TauTransferRoutine::OpenOutput() {
    if (!Go())
        return Output::End;
    verifyFirst_ = false;
    resumeFailed_ = false;
    refused_ = false;
    state_.BytesTransferred = 0;
    if (IsBodyStatus(state_.StatusCode) && !settings_.OutputFileName.isEmpty()) {
        QString error;
        const bool resuming = state_.ResumeOffset != 0;
        if (session_->output.OpenFile(settings_.OutputFileName, !resuming, error)) {
            if (resuming && !session_->output.SeekFile(qint64(state_.ResumeOffset)))
                return Output::ResumeFailed;
            const TauFileAttributes incomplete = settings_.OutputFileAttributes.Incomplete();
            if (incomplete != TauFileAttributes(atrArchive))
                SetFileAttributesFromSet(settings_.OutputFileName, incomplete);
            verifyFirst_ = resuming;
            return Output::Ready;
        }
        state_.OutputError = error;
        if (state_.Success)
            return Output::End;
    }
    session_->output.UseMemory(state_.Success ? state_.ContentLength : 0);
    return Output::Ready;
}

// The resumed start could not be used: the whole entity is fetched again.
void TauTransferRoutine::ForgetResume() {
    state_.StatusCode = -1;
    session_->output.Release(settings_.OutputFileAttributes.Incomplete());
    state_.ResumeOffset = 0;
    state_.ResumeEnd = 0;
    resumeFailed_ = false;
    verifyFirst_ = false;
}

// Takes what arrived, in chunks of at most the buffer size: the first chunk
// of a resumed download is checked against the file, every other one stored
// and shown.
bool TauTransferRoutine::Store(const char* Data, size_t Size) {
    const auto bufferSize = static_cast<size_t>(settings_.BufferSize());
    if (resumeFailed_ || refused_)
        return false;
    while (Size > 0) {
        if (!Go())
            return false;
        const size_t piece = std::min(Size, bufferSize);
        state_.BytesTransferred += qint64(piece);
        if (verifyFirst_) {
            verifyFirst_ = false;
            const qint64 held = session_->output.VerifyAndSkip(Data, qint64(piece));
            if (held < 0) {
                resumeFailed_ = true;
                return false;
            }
            if (held < qint64(piece) && !StoreChunk(Data + held, qint64(piece) - held))
                return false;
        } else if (!StoreChunk(Data, qint64(piece))) {
            return false;
        }
        Data += piece;
        Size -= piece;
    }
    return true;
}

bool TauTransferRoutine::StoreChunk(const char* Data, qint64 Size) {
    if (!session_->output.Write(Data, Size)) {
        refused_ = true;
        return false;
    }
    const qint64 elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start_)
                                 .count();
    state_.Progress = ComputeProgress(state_.ContentLength, state_.BytesTransferred,
                                      qint64(state_.ResumeOffset), elapsedMs);
    if (!session_->hasDownloadProgress)
        return true;
    return OnGui([&](TauCustomHTTP& c) { c.RaiseDownloadProgress(*session_); });
}

void TauTransferRoutine::FinishBody(bool BodyFailed) {
    state_.BodyFailed = BodyFailed;
    const bool entity = IsBodyStatus(state_.StatusCode);
    state_.Success = entity && !BodyFailed;
    if (state_.Success && state_.ContentLength != 0 && session_->output.Exists())
        state_.Success = state_.ContentLength == state_.BytesTransferred;
}

void TauTransferRoutine::FetchLocalFile() {
    for (;;) {
        QFile source(QFile::decodeName(parts_.UrlPath));
        state_.StatusCode = OpenLocalFile(source);
        if (state_.StatusCode != 200)
            state_.ContentLength = 0;
        const Output output = OpenOutput();
        if (output == Output::End)
            return;
        if (output == Output::ResumeFailed || (CopyLocalFile(source) && resumeFailed_)) {
            ForgetResume();
            continue;
        }
        return;
    }
}

// Opens the file and places it at the start of the range asked for. The
// status a server would give: 200, or 404 for no such file, 403 for one that
// cannot be read, 416 for a range that starts beyond it.
int TauTransferRoutine::OpenLocalFile(QFile& Source) {
    if (!QFileInfo(Source.fileName()).isFile())
        return 404;
    if (!Source.open(QIODevice::ReadOnly))
        return 403;
    const bool resume = state_.ResumeOffset != 0 || state_.ResumeEnd != 0;
    const quint64 start = resume ? state_.ResumeOffset : settings_.Range.StartRange;
    const quint64 last = resume ? state_.ResumeEnd : settings_.Range.EndRange;
    const auto size = quint64(Source.size());
    if (start > size || !Source.seek(qint64(start))) {
        Source.close();
        return 416;
    }
    const quint64 end = last != 0 ? std::min(last + 1, size) : size;
    state_.ContentLength = qint64(std::max(end, start) - start);
    state_.Success = true;
    return 200;
}

// Moves the file's range into the output; false when the transfer stopped.
bool TauTransferRoutine::CopyLocalFile(QFile& Source) {
    if (!Source.isOpen()) {
        FinishBody(false);
        return true;
    }
    const qint64 pieceSize = std::min<qint64>(settings_.BufferSize(), kLargestLocalRead);
    QByteArray buffer(pieceSize, Qt::Uninitialized);
    qint64 left = state_.ContentLength;
    bool failed = false;
    while (left > 0) {
        if (!Go())
            return false;
        const qint64 count = Source.read(buffer.data(), std::min(pieceSize, left));
        if (count <= 0) {
            failed = true;
            break;
        }
        left -= count;
        if (!Store(buffer.constData(), size_t(count))) {
            failed = !resumeFailed_;
            break;
        }
    }
    if (stopped_)
        return false;
    if (!resumeFailed_)
        FinishBody(failed);
    return true;
}

}  // namespace upgrader
