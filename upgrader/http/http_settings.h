#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>

#include "upgrader/http/http_options.h"
#include "upgrader/utils/file_attributes.h"

namespace upgrader {

// How the client reaches servers. A default-constructed object holds the
// defaults, so assigning TauHTTPProxy{} restores them.
struct TauHTTPProxy {
    TauHTTPAccessType AccessType = atPreconfig;
    qint32 ProxyPort = 8080;
    QByteArray ProxyServer;
    // Hosts reached without the proxy: entries separated by ";" (or blanks),
    // such as "127.0.0.1;*.example.com;<local>".
    QByteArray ProxyBypass = "127.0.0.1;";
    QByteArray ProxyUsername;
    QByteArray ProxyPassword;

    bool operator==(const TauHTTPProxy&) const = default;
};

// A byte range: from StartRange, up to and including EndRange (0: to the end).
struct TauHTTPRange {
    quint64 StartRange = 0;
    quint64 EndRange = 0;

    bool operator==(const TauHTTPRange&) const = default;
};

// Time-outs of a request in milliseconds; 0 keeps the default of the client
// (connecting: 300 s; sending and receiving: 60 s without any data moving).
struct TauHTTPTimeouts {
    quint32 ConnectTimeout = 0;
    quint32 ReceiveTimeout = 0;
    quint32 SendTimeout = 0;

    bool operator==(const TauHTTPTimeouts&) const = default;
};

// The attributes an output file has while it is incomplete and once it is
// complete. Giving either a new value raises OnChange.
class TauOutputFileAttributes {
  public:
    TauFileAttributes Complete() const { return complete_; }
    TauFileAttributes Incomplete() const { return incomplete_; }
    void SetComplete(TauFileAttributes Value);
    void SetIncomplete(TauFileAttributes Value);
    // Copies both sets (the defaults when Source is null).
    void Assign(const TauOutputFileAttributes* Source);

    std::function<void()> OnChange;

  private:
    TauFileAttributes complete_ = atrArchive;
    TauFileAttributes incomplete_ = atrArchive | atrTemporary;
};

// TransferBufferSize: the most bytes handed over at a time.
inline constexpr qint32 kMinTransferBufferSize = 255;
inline constexpr qint32 kMaxTransferBufferSize = 2147483647;
inline constexpr qint32 kDefaultTransferBufferSize = 4096;

}  // namespace upgrader
