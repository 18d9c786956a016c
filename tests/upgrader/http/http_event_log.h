#pragma once

#include <QByteArray>
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
    bool AllGuiEventsOnGuiThread() const;
    // Adds an entry for a handler the test assigns itself.
    void Note(const QString& event);

    // What the handlers saw.
    QByteArray body;  // a copy of the stream given to OnDone/OnHTTPError/OnDoneInterrupted
    qint64 doneFileSize = -1;
    bool doneStreamNull = false;
    int httpError = 0;
    qint64 headerLength = -1;
    int lastPercent = -1;
    QList<qint64> progressReads;  // BytesRead of each progress event

  private:
    mutable std::mutex mutex_;
    QStringList events_;
    bool allGui_ = true;
};

// Runs a waiting transfer (from the byte given: resumed) with a fresh log of
// its events.
std::unique_ptr<EventLog> Fetch(upgrader::TauCustomHTTP& http, quint64 from = 0);

}  // namespace http_test
