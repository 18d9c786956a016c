#pragma once

#include <curl/curl.h>

#include <QByteArray>
#include <QByteArrayList>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

namespace upgrader {

// What a request reports to, and asks of, the transfer that runs it. Called
// on the worker thread.
class TauRequestObserver {
  public:
    virtual ~TauRequestObserver() = default;
    // A checkpoint: waits while the worker is suspended; false when the
    // transfer is to stop.
    virtual bool KeepGoing() = 0;
    // The same question without waiting, asked from within libcurl.
    virtual bool StopRequested() = 0;
    // A status notification (TauStatusID) with its information (the new URL
    // of a redirect).
    virtual void Status(int StatusID, const QByteArray& Information) = 0;
};

// Lets another thread wake the worker from a wait inside a request at once.
class TauRequestWaker {
  public:
    void Wake();

  private:
    friend class TauCurlRequest;
    std::mutex mutex_;
    CURLM* multi_ = nullptr;
};

// Idle limits of a request in milliseconds.
struct TauIdleLimits {
    qint64 sendMs = 0;     // no upload progress while sending the request
    qint64 receiveMs = 0;  // nothing received while waiting for the answer
};

// One libcurl easy handle and the exchanges made with it. A run sends the
// request and stops when the headers of the final answer are in, holding its
// body back; the body then flows into a sink of the caller. Between runs the
// handle keeps its options, so a request can be sent again (a resend with
// credentials, another range).
class TauCurlRequest {
  public:
    TauCurlRequest(TauRequestObserver& Observer, TauRequestWaker& Waker, TauIdleLimits Limits);
    ~TauCurlRequest();
    TauCurlRequest(const TauCurlRequest&) = delete;
    TauCurlRequest& operator=(const TauCurlRequest&) = delete;

    bool IsOpen() const { return easy_ != nullptr && multi_ != nullptr; }
    CURL* Handle() const { return easy_; }
    // The request's own header lines, replacing those given before.
    void SetHeaderLines(const QByteArrayList& Lines);

    enum class Outcome {
        HeadersIn,  // the final answer's headers are in, its body waits
        Ended,      // the exchange is over (see Result)
        Stopped,    // the transfer is to stop (the observer said so)
    };
    // Starts an exchange and runs it until the final answer's headers.
    Outcome RunUntilHeaders();
    // Lets the body flow: Sink gets each piece as it arrives and ends the
    // exchange by returning false.
    Outcome RunBody(const std::function<bool(const char*, size_t)>& Sink);
    // Ends the exchange in progress, if any.
    void Cancel();

    // The final answer's status; -1 when no HTTP status came (a proxy's
    // refusal of a tunnel counts as the answer).
    int StatusCode() const;
    // The first header of that name in the final answer.
    std::optional<QByteArray> Header(const QByteArray& Name) const;
    // The final answer's status line and header lines, each ended by CR LF,
    // then an empty line.
    QByteArray RawHeaders() const;
    // How the last exchange ended; CURLE_OPERATION_TIMEDOUT also when an
    // idle limit passed.
    CURLcode Result() const { return result_; }

    // Whether libcurl follows redirects (told by whoever sets the options);
    // a followed redirect's answer is not final.
    void SetFollowsRedirects(bool Value) { followsRedirects_ = Value; }
    // libcurl follows at most this many redirects of one request.
    static constexpr long kMostRedirects = 20;

  private:
    static size_t OnHeaderLine(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t downloaded, curl_off_t,
                          curl_off_t uploaded);
    static int OnPrerequest(void* self, char*, char*, int, int);
    static int OnResolverStart(void*, void*, void* self);
    static curl_socket_t OnOpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address);
    static int OnCloseSocket(void* self, curl_socket_t socket);

    // Runs a callback's work; an exception must not unwind through
    // libcurl's C frames, so it ends the exchange instead: the callback
    // returns what makes libcurl stop.
    template <typename Answer, typename Work>
    static Answer Guarded(void* self, Answer onFailure, Work&& work) noexcept;
    // A report whose failure is dropped: where nothing could stop anyway.
    void ReportGuarded(int StatusID) noexcept;

    void Start();
    Outcome Drive(bool untilHeaders);
    bool Finished();
    qint64 IdleMsLeft() const;
    void Touch();
    void HeaderLine(const QByteArray& line);
    void AnswerComplete();
    QByteArray RedirectTarget() const;

    TauRequestObserver& observer_;
    TauRequestWaker& waker_;
    TauIdleLimits limits_;
    CURL* easy_ = nullptr;
    CURLM* multi_ = nullptr;
    curl_slist* headers_ = nullptr;
    bool running_ = false;
    bool heldBack_ = false;
    const std::function<bool(const char*, size_t)>* sink_ = nullptr;
    CURLcode result_ = CURLE_OK;

    // The answer being received and the last complete one.
    QByteArrayList lines_;
    bool answerComplete_ = false;   // lines_ hold a whole final answer
    bool redirectPending_ = false;  // ... which libcurl is following
    bool followsRedirects_ = true;
    bool callbackFailed_ = false;  // a callback's work threw
    long redirectsFollowed_ = 0;
    bool resolving_ = false;
    bool newConnection_ = false;
    bool sending_ = false;  // the request (and its body) is still going out
    bool waiting_ = false;  // idle limits apply
    curl_off_t lastDownloaded_ = 0;
    curl_off_t lastUploaded_ = 0;
    std::chrono::steady_clock::time_point lastActivity_;
};

}  // namespace upgrader
