#include "tests/upgrader/http/http_event_log.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

using namespace upgrader;

namespace http_test {

namespace {

bool OnGuiThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

QByteArray WholeStream(QIODevice* stream) {
    if (stream == nullptr)
        return {};
    const qint64 position = stream->pos();
    stream->seek(0);
    const QByteArray all = stream->readAll();
    stream->seek(position);
    return all;
}

}  // namespace

EventLog::EventLog(TauCustomHTTP& http) {
    http.OnBeforeSendRequest = [this](TauCustomHTTP*, CURL*) { Add("BeforeSendRequest", true); };
    http.OnStatusChange = [this](TauCustomHTTP*, int, const QString& text) {
        const bool onGui = OnGuiThread();
        std::lock_guard lock(mutex_);
        statusOnGui_ = statusOnGui_ || onGui;
        statusTexts_ += text;
    };
    http.OnRedirected = [this](TauCustomHTTP*, const QByteArray& url) {
        std::lock_guard lock(mutex_);
        redirects += url;
    };
    http.OnHeaderInfo = [this](TauCustomHTTP*, int status, const QByteArray& raw, const QByteArray&,
                               const QByteArray&, const QByteArray&, qint64 length,
                               const QByteArray&, TDateTime, TDateTime, TDateTime,
                               const QByteArray&, bool&) {
        headerStatus = status;
        headerLength = length;
        headerRawHeaders = raw;
        Add("HeaderInfo", OnGuiThread());
    };
    http.OnDownloadProgress = [this](TauCustomHTTP* sender, const QByteArray&, qint64,
                                     qint64 bytes, qint32, qint32, quint8 percent, float,
                                     QIODevice*) {
        const qint64 previous =
            lastProgressBytes >= 0 ? lastProgressBytes : qint64(sender->State().ResumeOffset);
        largestChunk = std::max(largestChunk, bytes - previous);
        lastProgressBytes = bytes;
        lastPercent = percent;
        Add("DownloadProgress", OnGuiThread());
    };
    http.OnDone = [this](TauCustomHTTP*, const QByteArray&, qint64 size, QIODevice* stream) {
        doneFileSize = size;
        doneStreamNull = stream == nullptr;
        body = WholeStream(stream);
        Add("Done", OnGuiThread());
    };
    http.OnDoneInterrupted = [this](TauCustomHTTP*, const QByteArray&, qint64, qint64,
                                    QIODevice* stream) {
        body = WholeStream(stream);
        Add("DoneInterrupted", OnGuiThread());
    };
    http.OnHTTPError = [this](TauCustomHTTP*, int code, QIODevice* stream) {
        httpError = code;
        body = WholeStream(stream);
        Add("HTTPError", OnGuiThread());
    };
    http.OnConnectionFailed = [this](TauCustomHTTP*) { Add("ConnectionFailed", OnGuiThread()); };
    http.OnDoneWithoutStream = [this](TauCustomHTTP*) { Add("DoneWithoutStream", OnGuiThread()); };
    http.OnAnyError = [this](TauCustomHTTP*) { Add("AnyError", OnGuiThread()); };
    http.OnTransferStopped = [this](TauCustomHTTP*) { Add("TransferStopped", OnGuiThread()); };
    http.OnTransferAborted = [this](TauCustomHTTP*) { Add("TransferAborted", OnGuiThread()); };
}

void EventLog::Add(const QString& event, bool onGuiThread) {
    std::lock_guard lock(mutex_);
    allGui_ = allGui_ && onGuiThread;
    if (event == "DownloadProgress") {
        ++progressCount_;
        if (!events_.isEmpty() && events_.last() == event)
            return;
    }
    events_ += event;
}

void EventLog::Note(const QString& event) {
    Add(event, OnGuiThread());
}

std::unique_ptr<EventLog> Fetch(TauCustomHTTP& http, quint64 from, quint64 to) {
    auto log = std::make_unique<EventLog>(http);
    EXPECT_TRUE(http.Read(from, to, true));
    return log;
}

QStringList EventLog::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

int EventLog::ProgressCount() const {
    std::lock_guard lock(mutex_);
    return progressCount_;
}

bool EventLog::AllGuiEventsOnGuiThread() const {
    std::lock_guard lock(mutex_);
    return allGui_;
}

bool EventLog::StatusEverOnGuiThread() const {
    std::lock_guard lock(mutex_);
    return statusOnGui_;
}

QStringList EventLog::StatusTexts() const {
    std::lock_guard lock(mutex_);
    return statusTexts_;
}

}  // namespace http_test
