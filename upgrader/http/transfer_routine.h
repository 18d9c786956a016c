#pragma once

#include <QFile>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "upgrader/http/curl_request.h"
#include "upgrader/http/transfer_session.h"
#include "upgrader/threads/gui_call.h"
#include "upgrader/threads/thread_run.h"
#include "upgrader/utils/url_split.h"

namespace upgrader {

class TauCustomHTTP;

// The most the worker holds in memory while the GUI thread shows progress.
inline constexpr size_t kMostHeldWhileShowing = 256 * 1024;

// A stored chunk whose progress event is still to be raised: the figures as
// they stood when it was stored.
struct TauShownChunk {
    qint64 bytes;
    TauProgressFigures progress;
};

// One transfer, run on the worker: connect, send, answer authentication and
// range refusals, read the headers, open the output and move the body into
// it, checking the resumed start against what the output file holds. It
// touches the component only through calls run on the GUI thread while the
// run lives; everything else it needs is in the session.
class TauTransferRoutine : private TauRequestObserver {
  public:
    TauTransferRoutine(std::shared_ptr<TauTransferSession> Session, TauCustomHTTP* Component);
    void Run();

  private:
    enum class Step { Body, Reconnect, End };
    // Requests of one transfer: a server that keeps answering what cannot be
    // used does not make it ask for ever.
    static constexpr int kMostAttempts = 3;
    enum class Output { Ready, End, ResumeFailed };

    bool KeepGoing() override;
    bool StopRequested() override;
    void Status(int StatusID, const QByteArray& Information) override;

    bool Go();
    bool OnGui(const std::function<void(TauCustomHTTP&)>& Call);
    void EndAborted();

    void Transfer();
    bool PrepareTarget();
    void FetchOverHttp();
    Step Exchange(TauCurlRequest& Request);
    bool AskForLogin(TauCurlRequest& Request);
    bool AskForProxyLogin(TauCurlRequest& Request);
    Step CheckResumeRefusal(TauCurlRequest& Request);
    void ReadHeaders(TauCurlRequest& Request);
    Step Body(TauCurlRequest& Request);
    void FetchLocalFile();
    int OpenLocalFile(QFile& Source);
    bool CopyLocalFile(QFile& Source);

    Output OpenOutput();
    void ForgetResume();
    bool Store(const char* Data, size_t Size);
    bool FinishStoring();
    bool StoreAndShow(const char* Data, size_t Size);
    size_t HeldBytes() const;
    bool StoreHeld(std::vector<TauShownChunk>& Stored);
    bool StoreArrival(const char* Data, size_t Size, std::vector<TauShownChunk>& Stored);
    bool StorePiece(const char* Data, size_t Size, std::vector<TauShownChunk>& Stored);
    bool StoreChunk(const char* Data, qint64 Size);
    void ShowStored(std::vector<TauShownChunk> Stored);
    bool AwaitShown();
    bool BodyOverMemoryLimit() const;
    bool BodyOverFileLimit() const;
    void FinishBody(bool BodyFailed);

    std::shared_ptr<TauTransferSession> session_;
    TauTransferSettings& settings_;
    TauTransferState& state_;
    TauTransferLife& life_;
    TauCustomHTTP* component_;
    std::shared_ptr<TauThreadRun> run_;
    TauURLParts parts_;
    QByteArray requestUrl_;
    QByteArray userName_;
    QByteArray password_;
    std::chrono::steady_clock::time_point start_;
    std::shared_ptr<PendingGuiCall> showing_;  // progress events still being raised
    std::vector<QByteArray> held_;             // arrivals not yet stored, meanwhile
    bool verifyFirst_ = false;
    bool resumeFailed_ = false;
    bool refused_ = false;          // the output took no more data
    bool rangeAsked_ = false;       // the request sent asks for a part
    bool wholeEntityNext_ = false;  // a resumed start was given up
};

}  // namespace upgrader
