#include "upgrader/http/curl_request.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "upgrader/http/answer_headers.h"
#include "upgrader/http/status_texts.h"
#include "upgrader/utils/curl_url.h"

namespace upgrader {

namespace {

// A wait inside libcurl ends at least this often, so checkpoints and idle
// limits are seen in time even when nothing happens on the network.
constexpr int kLongestPollMs = 250;

QByteArray WithoutLineEnd(QByteArray line) {
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

}  // namespace

template <typename Answer, typename Work>
Answer TauCurlRequest::Guarded(void* self, Answer onFailure, Work&& work) noexcept {
    auto* request = static_cast<TauCurlRequest*>(self);
    try {
        return work(*request);
    } catch (...) {
        request->callbackFailed_ = true;
        return onFailure;
    }
}

void TauCurlRequest::ReportGuarded(int StatusID) noexcept {
    Guarded(this, 0, [StatusID](TauCurlRequest& request) {
        request.observer_.Status(StatusID, {});
        return 0;
    });
}

void TauRequestWaker::Wake() {
    std::lock_guard lock(mutex_);
    if (multi_ != nullptr)
        curl_multi_wakeup(multi_);
}

TauCurlRequest::TauCurlRequest(TauRequestObserver& Observer, TauRequestWaker& Waker,
                               TauIdleLimits Limits)
    : observer_(Observer), waker_(Waker), limits_(Limits) {
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (!IsOpen())
        return;
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, OnHeaderLine);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy_, CURLOPT_PREREQFUNCTION, OnPrerequest);
    curl_easy_setopt(easy_, CURLOPT_PREREQDATA, this);
    curl_easy_setopt(easy_, CURLOPT_RESOLVER_START_FUNCTION, OnResolverStart);
    curl_easy_setopt(easy_, CURLOPT_RESOLVER_START_DATA, this);
    curl_easy_setopt(easy_, CURLOPT_OPENSOCKETFUNCTION, OnOpenSocket);
    curl_easy_setopt(easy_, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(easy_, CURLOPT_CLOSESOCKETFUNCTION, OnCloseSocket);
    curl_easy_setopt(easy_, CURLOPT_CLOSESOCKETDATA, this);
    {
        std::lock_guard lock(waker_.mutex_);
        waker_.multi_ = multi_;
    }
    observer_.Status(stHandleCreated, {});
}

TauCurlRequest::~TauCurlRequest() {
    {
        std::lock_guard lock(waker_.mutex_);
        waker_.multi_ = nullptr;
    }
    // A destructor must not throw: a failing report is dropped.
    if (easy_ != nullptr)
        ReportGuarded(stHandleClosing);
    Cancel();
    // The connections close with the multi handle, reporting through this
    // object, so it goes first.
    if (multi_ != nullptr)
        curl_multi_cleanup(multi_);
    if (easy_ != nullptr)
        curl_easy_cleanup(easy_);
    curl_slist_free_all(headers_);
}

void TauCurlRequest::SetHeaderLines(const QByteArrayList& Lines) {
    curl_slist* list = nullptr;
    for (const QByteArray& line : Lines) {
        if (!line.trimmed().isEmpty())
            list = curl_slist_append(list, line.constData());
    }
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, list);
    curl_slist_free_all(headers_);
    headers_ = list;
}

TauCurlRequest::Outcome TauCurlRequest::RunUntilHeaders() {
    Start();
    return Drive(true);
}

TauCurlRequest::Outcome TauCurlRequest::RunBody(
    const std::function<bool(const char*, size_t)>& Sink) {
    if (!running_)
        return Outcome::Ended;
    sink_ = &Sink;
    if (heldBack_) {
        heldBack_ = false;
        // The held data goes to the sink right here; when the sink refuses
        // it, the exchange is over.
        if (const CURLcode resumed = curl_easy_pause(easy_, CURLPAUSE_CONT); resumed != CURLE_OK) {
            Cancel();
            result_ = resumed;
            return Outcome::Ended;
        }
    }
    const Outcome outcome = Drive(false);
    sink_ = nullptr;
    return outcome;
}

void TauCurlRequest::Cancel() {
    if (running_)
        curl_multi_remove_handle(multi_, easy_);
    running_ = false;
    heldBack_ = false;
    sink_ = nullptr;
}

void TauCurlRequest::Start() {
    Cancel();
    result_ = CURLE_OK;
    lines_.clear();
    answerComplete_ = false;
    redirectPending_ = false;
    redirectsFollowed_ = 0;
    callbackFailed_ = false;
    waiting_ = false;
    sending_ = false;
    lastDownloaded_ = 0;
    lastUploaded_ = 0;
    Touch();
    running_ = curl_multi_add_handle(multi_, easy_) == CURLM_OK;
    if (!running_)
        result_ = CURLE_FAILED_INIT;
}

TauCurlRequest::Outcome TauCurlRequest::Drive(bool untilHeaders) {
    while (running_) {
        if (!observer_.KeepGoing())
            return Outcome::Stopped;
        int active = 0;
        curl_multi_perform(multi_, &active);
        if (Finished())
            return Outcome::Ended;
        if (untilHeaders && heldBack_)
            return Outcome::HeadersIn;
        if (observer_.StopRequested())
            return Outcome::Stopped;
        const qint64 left = IdleMsLeft();
        if (left <= 0) {
            Cancel();
            result_ = CURLE_OPERATION_TIMEDOUT;
            return Outcome::Ended;
        }
        curl_multi_poll(multi_, nullptr, 0,
                        static_cast<int>(std::min<qint64>(left, kLongestPollMs)), nullptr);
    }
    return Outcome::Ended;
}

bool TauCurlRequest::Finished() {
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != easy_)
            continue;
        result_ = callbackFailed_ ? CURLE_ABORTED_BY_CALLBACK : message->data.result;
        curl_multi_remove_handle(multi_, easy_);
        running_ = false;
        return true;
    }
    return false;
}

qint64 TauCurlRequest::IdleMsLeft() const {
    const qint64 limit = sending_ ? limits_.sendMs : limits_.receiveMs;
    if (!waiting_ || limit <= 0)
        return kLongestPollMs;
    const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - lastActivity_)
                          .count();
    return limit - idle;
}

void TauCurlRequest::Touch() {
    lastActivity_ = std::chrono::steady_clock::now();
}

int TauCurlRequest::StatusCode() const {
    if (!answerComplete_ || redirectPending_ || lines_.isEmpty())
        return -1;
    const int code = StatusOfLine(lines_.first());
    return code > 0 ? code : -1;
}

std::optional<QByteArray> TauCurlRequest::Header(const QByteArray& Name) const {
    const QByteArray prefix = Name.toLower() + ':';
    for (qsizetype at = 1; at < lines_.size(); ++at) {
        if (lines_[at].toLower().startsWith(prefix))
            return lines_[at].mid(prefix.size()).trimmed();
    }
    return std::nullopt;
}

QByteArray TauCurlRequest::RawHeaders() const {
    return lines_.isEmpty() ? QByteArray() : lines_.join("\r\n") + "\r\n\r\n";
}

void TauCurlRequest::HeaderLine(const QByteArray& line) {
    Touch();
    if (IsStatusLine(line)) {
        if (lines_.isEmpty() && !answerComplete_)
            observer_.Status(stRequestSent, {});
        lines_ = {line};
        answerComplete_ = false;
        redirectPending_ = false;
        observer_.Status(stReceivingResponse, {});
    } else if (line.isEmpty()) {
        AnswerComplete();
    } else if (!lines_.isEmpty()) {
        lines_ += line;
    }
}

void TauCurlRequest::AnswerComplete() {
    if (lines_.isEmpty())
        return;
    const int code = StatusOfLine(lines_.first());
    if (code >= 100 && code < 200) {
        observer_.Status(stIntermediateResponse, {});
        return;
    }
    answerComplete_ = true;
    // Past the limit libcurl follows no more: that answer ends the request.
    if (code >= 300 && code < 400 && followsRedirects_ && Header("Location") &&
        redirectsFollowed_ < kMostRedirects) {
        ++redirectsFollowed_;
        redirectPending_ = true;
        observer_.Status(stRedirect, RedirectTarget());
        return;
    }
    observer_.Status(stResponseReceived, {});
}

QByteArray TauCurlRequest::RedirectTarget() const {
    const QByteArray location = Header("Location").value_or(QByteArray());
    char* base = nullptr;
    curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &base);
    UrlHandle url(curl_url());
    if (!url || base == nullptr ||
        curl_url_set(url.get(), CURLUPART_URL, base, CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_URL, location.constData(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE) != CURLUE_OK)
        return location;
    const QByteArray target = RawUrlPart(url.get(), CURLUPART_URL);
    return target.isEmpty() ? location : target;
}

size_t TauCurlRequest::OnHeaderLine(char* data, size_t size, size_t count, void* self) {
    return Guarded(self, size_t{0}, [&](TauCurlRequest& request) {
        request.HeaderLine(WithoutLineEnd(QByteArray(data, static_cast<qsizetype>(size * count))));
        return size * count;
    });
}

size_t TauCurlRequest::OnBody(char* data, size_t size, size_t count, void* self) {
    return Guarded(self, size_t{0}, [&](TauCurlRequest& request) -> size_t {
        request.Touch();
        if (request.sink_ == nullptr) {
            request.heldBack_ = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        return (*request.sink_)(data, size * count) ? size * count : 0;
    });
}

int TauCurlRequest::OnProgress(void* self, curl_off_t, curl_off_t downloaded,
                               curl_off_t uploadTotal, curl_off_t uploaded) {
    return Guarded(self, 1, [&](TauCurlRequest& request) {
        if (downloaded != request.lastDownloaded_ || uploaded != request.lastUploaded_)
            request.Touch();
        request.lastDownloaded_ = downloaded;
        request.lastUploaded_ = uploaded;
        request.sending_ = uploadTotal > 0 && uploaded < uploadTotal;
        return request.observer_.StopRequested() ? 1 : 0;
    });
}

int TauCurlRequest::OnPrerequest(void* self, char*, char*, int, int) {
    return Guarded(self, int{CURL_PREREQFUNC_ABORT}, [](TauCurlRequest& request) {
        if (request.newConnection_)
            request.observer_.Status(stConnected, {});
        request.newConnection_ = false;
        request.waiting_ = true;
        request.Touch();
        request.observer_.Status(stSendingRequest, {});
        return int{CURL_PREREQFUNC_OK};
    });
}

int TauCurlRequest::OnResolverStart(void*, void*, void* self) {
    return Guarded(self, 1, [](TauCurlRequest& request) {
        request.resolving_ = true;
        request.observer_.Status(stResolvingName, {});
        return 0;
    });
}

curl_socket_t TauCurlRequest::OnOpenSocket(void* self, curlsocktype, curl_sockaddr* address) {
    return Guarded(self, curl_socket_t{CURL_SOCKET_BAD}, [&](TauCurlRequest& request) {
        if (request.resolving_)
            request.observer_.Status(stNameResolved, {});
        request.resolving_ = false;
        request.newConnection_ = true;
        request.observer_.Status(stConnectingToServer, {});
        // Not inherited by programs started later (the replacer).
        return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    });
}

// The socket is closed whatever the reports do.
int TauCurlRequest::OnCloseSocket(void* self, curl_socket_t socket) {
    auto* request = static_cast<TauCurlRequest*>(self);
    request->ReportGuarded(stClosingConnection);
    const int result = ::close(socket);
    request->ReportGuarded(stConnectionClosed);
    return result;
}

}  // namespace upgrader
