#pragma once

#include <curl/curl.h>

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>

#include "upgrader/http/curl_request.h"
#include "upgrader/http/progress_figures.h"
#include "upgrader/http/transfer_life.h"
#include "upgrader/http/transfer_output.h"
#include "upgrader/http/transfer_settings.h"
#include "upgrader/utils/date_time.h"

namespace upgrader {

class TauCustomHTTP;

// What a transfer found out, written by its worker. Handlers read it while
// the worker waits for them; the completion reads it after the worker ended.
// The status and the byte count may be read at any time (a progress display
// polling them).
struct TauTransferState {
    std::atomic<int> StatusCode{-1};          // -1: no HTTP status
    qint64 ContentLength = 0;                 // of this answer's body; 0 when not announced
    std::atomic<qint64> BytesTransferred{0};  // of this answer's body
    quint64 ResumeOffset = 0;
    quint64 ResumeEnd = 0;
    QByteArray RawHeaders;
    QByteArray ContentType;
    QByteArray ContentLanguage;
    QByteArray ContentEncoding;
    QByteArray Location;
    QByteArray ETag;
    TDateTime Date = 0;
    TDateTime LastModified = 0;
    TDateTime Expires = 0;
    TauProgressFigures Progress{0, 0, 0, -1};
    bool Success = false;
    // Cleared when OnHeaderInfo stopped the transfer.
    bool Continue = true;
    // The body ended early (libcurl reported a failure after it began).
    bool BodyFailed = false;
    // The body in memory passed MemoryBodyLimit and was dropped.
    bool BodyTooLarge = false;
    // Why the output file could not be made, when it could not.
    QString OutputError;
};

// Answers 200 and 206 carry the entity (or the part asked for).
inline bool IsBodyStatus(int Status) {
    return Status == 200 || Status == 206;
}

// The handlers that run on the worker, copied when the transfer starts.
struct TauWorkerEvents {
    std::function<void(TauCustomHTTP* Sender, CURL* Request)> OnBeforeSendRequest;
    std::function<void(TauCustomHTTP* Sender, int StatusID, const QString& StatusText)>
        OnStatusChange;
    std::function<void(TauCustomHTTP* Sender, const QByteArray& NewURL)> OnRedirected;
};

// Everything one transfer uses. The component and the worker share it, so it
// outlives whichever of them goes first: a worker stopped by force may still
// be inside libcurl when the component starts its next transfer or is gone.
class TauTransferSession {
  public:
    TauTransferSession(TauCustomHTTP* Sender, TauTransferSettings Settings, TauWorkerEvents Events);

    // Changed only on the GUI thread while the worker waits (new credentials
    // given by an authentication handler).
    TauTransferSettings settings;
    TauTransferState state;
    TauTransferOutput output;
    TauRequestWaker waker;

    TauTransferLife life;
    // Set by Abort on the GUI thread.
    std::atomic<bool> deleteOnAbort{false};
    // Whether these GUI handlers are assigned (a transfer spares the GUI
    // thread the calls of those that are not).
    bool hasHeaderInfo = false;
    bool hasDownloadProgress = false;
    bool hasPasswordRequest = false;
    bool hasProxyAuthentication = false;

    // Runs a worker-side handler unless the component let go of the transfer.
    void RaiseOnWorker(
        const std::function<void(TauCustomHTTP* Sender, const TauWorkerEvents&)>& Raise);
    // From the component: no worker-side handler starts after this returns
    // (one already running is not waited for), and a worker waiting inside
    // libcurl wakes up to see that it is to stop.
    void Detach();

  private:
    TauCustomHTTP* sender_;
    TauWorkerEvents events_;
};

}  // namespace upgrader
