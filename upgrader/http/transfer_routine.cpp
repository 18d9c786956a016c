#include "upgrader/http/transfer_routine.h"

#include <algorithm>

#include "upgrader/http/answer_headers.h"
#include "upgrader/http/auth_realm.h"
#include "upgrader/http/custom_http.h"
#include "upgrader/http/request_options.h"
#include "upgrader/http/request_url.h"
#include "upgrader/http/status_texts.h"
#include "upgrader/threads/custom_thread.h"
#include "upgrader/utils/http_date.h"

namespace upgrader {

TauTransferRoutine::TauTransferRoutine(std::shared_ptr<TauTransferSession> Session,
                                       TauCustomHTTP* Component)
    : session_(std::move(Session)),
      settings_(session_->settings),
      state_(session_->state),
      life_(session_->life),
      component_(Component),
      run_(TauThreadRun::Current()) {}

void TauTransferRoutine::Run() {
    Transfer();
    if (life_.Stopped())
        EndAborted();
}

bool TauTransferRoutine::KeepGoing() {
    return Go();
}

bool TauTransferRoutine::StopRequested() {
    return life_.StopRequested(run_.get());
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
    return life_.Go(run_.get());
}

// Runs the call on the GUI thread while the worker waits; false (and the
// transfer stops) when the run was abandoned, since the component may then
// be gone.
bool TauTransferRoutine::OnGui(const std::function<void(TauCustomHTTP&)>& Call) {
    TauCustomHTTP* component = component_;
    if (run_)
        SynchronizeRun(run_, [&] { Call(*component); });
    return life_.GoOnAfterGuiCall(run_.get());
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
    for (int attempt = 1;; ++attempt) {
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
        const QByteArray rangeLine =
            wholeEntityNext_ ? QByteArray()
                             : RangeLine(state_.ResumeOffset, state_.ResumeEnd, settings_.Range);
        rangeAsked_ = !rangeLine.isEmpty();
        request.SetHeaderLines(RequestHeaderLines(settings_, rangeLine));
        Step step = Exchange(request);
        if (step == Step::Body)
            step = Body(request);
        if (step != Step::Reconnect)
            return;
        if (attempt == kMostAttempts) {
            state_.StatusCode = -1;
            state_.Success = false;
            return;
        }
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
            life_.Stop();
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
        if (life_.Stopped())
            return Step::End;
        if (!resend)
            break;
    }
    if (!Go())
        return Step::End;
    ReadHeaders(Request);
    // A part the request did not ask for has no place in the output.
    if (state_.StatusCode == 206 && !rangeAsked_) {
        state_.Success = false;
        Request.Cancel();
        return Step::End;
    }
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
        life_.Stop();
        return Step::End;
    }
    const int status = Request.StatusCode();
    const qint64 fullSize =
        IsBodyStatus(status) ? ContentLengthOf(Request.Header("Content-Length")).value_or(0) : 0;
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
    const std::optional<qint64> length = ContentLengthOf(Request.Header("Content-Length"));
    state_.ContentLength = length.value_or(0);
    state_.Success = length.has_value();
    // Without a range answer the server sent the whole entity; with one,
    // the body starts where the server says.
    const std::optional<QByteArray> range = Request.Header("Content-Range");
    state_.ResumeOffset =
        range && rangeAsked_ ? RangeStartOf(*range).value_or(state_.ResumeOffset) : 0;
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
    const bool stored = FinishStoring();
    if (outcome == TauCurlRequest::Outcome::Stopped || !Go()) {
        life_.Stop();
        return Step::End;
    }
    if (resumeFailed_) {
        ForgetResume();
        return Step::Reconnect;
    }
    FinishBody(Request.Result() != CURLE_OK || !stored);
    return Step::End;
}

}  // namespace upgrader
