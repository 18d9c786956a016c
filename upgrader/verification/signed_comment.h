#pragma once

#include <QByteArray>
#include <optional>

namespace upgrader {

// What the publisher's tool signs with the info file, in minisign's trusted
// comment, so that a signed info file counts only where and while it was
// meant to:
//   quorvane host=<host[:port]> version=<version> published=<seconds> [expires=<seconds>]
// (seconds since 1970, UTC).
struct TauSignedComment {
    QByteArray Host;
    QByteArray Version;
    qint64 Published = 0;
    std::optional<qint64> Expires;
};

// Nothing for a comment that is not of that form.
std::optional<TauSignedComment> ParseSignedComment(const QByteArray& Text);

// Why an info file with this signed comment may not be used, or nullptr:
// it must be meant for the host (host[:port] of the info file's address, in
// any letter case) and the version its "#version" gives, not be past its
// expiry, and not be published earlier than the newest one taken before
// (which stops a server from handing out an old release, or an old info
// file that hides a newer one).
const char* SignedCommentProblem(const std::optional<TauSignedComment>& Comment,
                                 const QByteArray& Host, const QByteArray& Version, qint64 Now,
                                 qint64 NewestPublished);

// The publishing time of the newest info file taken from a host (0: none),
// kept beside the program in "<program>.newest-update", one line a host (so
// that checking a staging host holds nothing back on the real one) after a
// first line with the newest of all, which older clients read; written
// whole or not at all, and only ever raised. Neither a record nor an info
// file is trusted further than a day ahead of the clock (a publisher's
// wrong clock, a planted file): beyond that, a day from Now counts, so that
// no record locks real releases out for longer than a day.
qint64 ReadNewestPublished(const QByteArray& Host, qint64 Now);
void RecordNewestPublished(const QByteArray& Host, qint64 Published, qint64 Now);

}  // namespace upgrader
