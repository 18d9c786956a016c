#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>

#include "upgrader/http/custom_http.h"

namespace http_test {

// Records the events of a client in the order they come, from whichever
// thread raises them. Runs of OnDownloadProgress count as one entry.
class EventLog {
  public:
    explicit EventLog(upgrader::TauCustomHTTP& http);

    QStringList Events() const;
    int ProgressCount() const;
    bool AllGuiEventsOnGuiThread() const;
    // OnStatusChange belongs to the worker.
    bool StatusEverOnGuiThread() const;
    QStringList StatusTexts() const;
    // Adds an entry for a handler the test assigns itself.
    void Note(const QString& event);

    // What the handlers saw.
    QByteArray body;  // a copy of the stream given to OnDone/OnHTTPError/OnDoneInterrupted
    qint64 doneFileSize = -1;
    bool doneStreamNull = false;
    int httpError = 0;
    int headerStatus = 0;
    qint64 headerLength = -1;
    QByteArray headerRawHeaders;
    QByteArray realm;
    QList<QByteArray> redirects;
    qint64 lastProgressBytes = -1;
    int lastPercent = -1;
    qint64 largestChunk = 0;

  private:
    void Add(const QString& event, bool onGuiThread);

    mutable std::mutex mutex_;
    QStringList events_;
    QStringList statusTexts_;
    int progressCount_ = 0;
    bool allGui_ = true;
    bool statusOnGui_ = false;
};

// Runs a waiting transfer (from the byte given: resumed) with a fresh log of
// its events.
std::unique_ptr<EventLog> Fetch(upgrader::TauCustomHTTP& http, quint64 from = 0, quint64 to = 0);

}  // namespace http_test
