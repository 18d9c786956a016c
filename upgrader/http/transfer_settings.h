#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include "upgrader/http/http_options.h"
#include "upgrader/http/http_settings.h"
#include "upgrader/utils/file_attributes.h"

namespace upgrader {

// The settings of the HTTP client, with their defaults.
struct TauHTTPSettings {
    // What to fetch: http, https or file; "http://" is put in front when it
    // holds no "://".
    QByteArray URL;
    // Where the body goes; empty: into memory.
    QString OutputFileName;
    TauOutputFileAttributes OutputFileAttributes;
    // Further request header lines ("Name: value").
    QByteArrayList RequestHeaders;
    QByteArray AcceptTypes = "text/html, */*";
    QByteArray AgentName = "velHTTP component (Velmira)";
    QByteArray Referer;
    QByteArray PostData;
    TauRequestMethod RequestMethod = rmAuto;
    TauCacheOptions CacheOptions = kDefaultCacheOptions;
    TauInternetOptions InternetOptions = kDefaultInternetOptions;
    TauHTTPRange Range;
    TauHTTPTimeouts Timeouts;
    // The most bytes handed to the output at a time, 255 to 2147483647
    // (a smaller value counts as 255).
    qint32 TransferBufferSize = kDefaultTransferBufferSize;
    // The most bytes of a body kept in memory (0: no limit). A longer body
    // ends the transfer as interrupted, with BodyTooLarge set; a body going
    // to the output file is not limited.
    qint64 MemoryBodyLimit = 0;
    // The most bytes written to the output file (0: no limit): a longer
    // body ends the transfer as interrupted, with BodyTooLarge set, before a
    // byte past the limit reaches the disk.
    qint64 OutputFileLimit = 0;
    // The slowest a transfer may go: one whose average rate stays under
    // MinimumRate bytes a second for MinimumRateWindow seconds ends as
    // interrupted, so a server that sends a byte now and then cannot hold it
    // for ever (0: no floor).
    qint32 MinimumRate = 0;
    qint32 MinimumRateWindow = 60;
    TauHTTPProxy Proxy;
    // Asks the system to go on-line when the user put it off-line. There is
    // no such user setting on this system: no effect.
    bool AutoGoOnline = false;
    // Works from the cache alone. There is no local HTTP cache here, so an
    // off-line transfer of an http or https address fails at once without
    // using the network (as an off-line request finding nothing cached
    // does); file addresses still work.
    bool WorkOffline = false;
};

// The settings of one transfer, taken from the component when it starts, so
// the worker reads its own copy however the component changes meanwhile.
struct TauTransferSettings : TauHTTPSettings {
    QByteArray HTTPUsername;
    QByteArray HTTPPassword;

    // The buffer size within its bounds.
    qint32 BufferSize() const;
};

// Whether the request posts (rmAuto: when there is form data).
bool PostsForm(const TauTransferSettings& Settings);

// "RANGE: bytes=<start>-[<end>]" (no end when End is 0).
QByteArray FormatRangeLine(quint64 Start, quint64 End);

// The range line for a transfer: the resume range when it
// has a start or an end, else the Range setting when it has one; empty when
// neither does.
QByteArray RangeLine(quint64 ResumeOffset, quint64 ResumeEnd, const TauHTTPRange& Range);

// The header lines of a request: RequestHeaders, Accept, the no-cache
// headers the cache options ask for, a form's content type and the range
// line (when not empty).
QByteArrayList RequestHeaderLines(const TauTransferSettings& Settings, const QByteArray& RangeLine);

}  // namespace upgrader
