#include "tests/upgrader/http/http_event_log.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

using namespace upgrader;

namespace http_test {

namespace {

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
    http.OnBeforeSendRequest = [this](TauCustomHTTP*, CURL*) { Note("BeforeSendRequest"); };
    http.OnHeaderInfo = [this](TauCustomHTTP*, int, const QByteArray&, const QByteArray&,
                               const QByteArray&, const QByteArray&, qint64 length,
                               const QByteArray&, TDateTime, TDateTime, TDateTime,
                               const QByteArray&, bool&) {
        headerLength = length;
        Note("HeaderInfo");
    };
    http.OnDownloadProgress = [this](TauCustomHTTP*, const QByteArray&, qint64, qint64 read, qint32,
                                     qint32, quint8 percent, float, QIODevice*) {
        lastPercent = percent;
        progressReads += read;
        Note("DownloadProgress");
    };
    http.OnDone = [this](TauCustomHTTP*, const QByteArray&, qint64 size, QIODevice* stream) {
        doneFileSize = size;
        doneStreamNull = stream == nullptr;
        body = WholeStream(stream);
        Note("Done");
    };
    http.OnDoneInterrupted = [this](TauCustomHTTP*, const QByteArray&, qint64, qint64,
                                    QIODevice* stream) {
        body = WholeStream(stream);
        Note("DoneInterrupted");
    };
    http.OnHTTPError = [this](TauCustomHTTP*, int code, QIODevice* stream) {
        httpError = code;
        body = WholeStream(stream);
        Note("HTTPError");
    };
    http.OnConnectionFailed = [this](TauCustomHTTP*) { Note("ConnectionFailed"); };
    http.OnDoneWithoutStream = [this](TauCustomHTTP*) { Note("DoneWithoutStream"); };
    http.OnAnyError = [this](TauCustomHTTP*) { Note("AnyError"); };
    http.OnTransferStopped = [this](TauCustomHTTP*) { Note("TransferStopped"); };
    http.OnTransferAborted = [this](TauCustomHTTP*) { Note("TransferAborted"); };
}

// OnBeforeSendRequest alone belongs to the worker.
void EventLog::Note(const QString& event) {
    const bool onGui = QThread::currentThread() == QCoreApplication::instance()->thread();
    std::lock_guard lock(mutex_);
    allGui_ = allGui_ && (onGui || event == "BeforeSendRequest");
    if (event == "DownloadProgress" && !events_.isEmpty() && events_.last() == event)
        return;
    events_ += event;
}

std::unique_ptr<EventLog> Fetch(TauCustomHTTP& http, quint64 from) {
    auto log = std::make_unique<EventLog>(http);
    EXPECT_TRUE(http.Read(from, 0, true));
    return log;
}

QStringList EventLog::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

bool EventLog::AllGuiEventsOnGuiThread() const {
    std::lock_guard lock(mutex_);
    return allGui_;
}

}  // namespace http_test
