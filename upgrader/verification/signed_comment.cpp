
#include "upgrader/verification/signed_comment.h"
#include "common/program_file_names.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QSaveFile>
#include <algorithm>

#include "common/executable_folder.h"

namespace upgrader {

namespace {

// The first line is what clients before per-host records read: a number in
// the first 32 bytes. The hosts follow it, as many as a client is ever
// configured for and then some.
constexpr qsizetype kLegacyLineBytes = 32;
constexpr qsizetype kMostHosts = 32;
constexpr qint64 kMostRecordBytes = kLegacyLineBytes + kMostHosts * 300;
constexpr qint64 kMostSecondsAhead = 24 * 60 * 60;

std::optional<qint64> Seconds(const QByteArray& Text) {
    bool ok = false;
    const qint64 value = Text.toLongLong(&ok);
    return ok && value >= 0 && !Text.startsWith('+') ? std::optional(value) : std::nullopt;
}

QString RecordPath() {
    return common::ExecutablePath() + QLatin1String(common::kNewestUpdateSuffix);
}

struct TNewestRecord {
    qint64 legacy = 0;  // the first line
    QMap<QByteArray, qint64> perHost;
};

// An unreadable record, or line, counts as none.
TNewestRecord ReadRecord() {
    QFile file(RecordPath());
    TNewestRecord record;
    if (!file.open(QIODevice::ReadOnly))
        return record;
    QList<QByteArray> lines = file.read(kMostRecordBytes).split('\n');
    record.legacy = Seconds(lines.takeFirst().trimmed()).value_or(0);
    for (const QByteArray& line : lines) {
        const QList<QByteArray> words = line.split(' ');
        const std::optional<qint64> seconds = Seconds(words.value(1));
        if (words.size() == 2 && !words[0].isEmpty() && seconds &&
            record.perHost.size() < kMostHosts)
            record.perHost.insert(words[0], *seconds);
    }
    return record;
}

}  // namespace

std::optional<TauSignedComment> ParseSignedComment(const QByteArray& Text) {
    const QList<QByteArray> words = Text.split(' ');
    if (words.size() < 4 || words.size() > 5 || words[0] != "quorvane" ||
        !words[1].startsWith("host=") || !words[2].startsWith("version=") ||
        !words[3].startsWith("published=") ||
        (words.size() == 5 && !words[4].startsWith("expires=")))
        return std::nullopt;
    TauSignedComment comment{words[1].mid(5), words[2].mid(8), 0, std::nullopt};
    const std::optional<qint64> published = Seconds(words[3].mid(10));
    if (comment.Host.isEmpty() || comment.Version.isEmpty() || !published)
        return std::nullopt;
    comment.Published = *published;
    if (words.size() == 5 && !(comment.Expires = Seconds(words[4].mid(8))))
        return std::nullopt;
    return comment;
}

const char* SignedCommentProblem(const std::optional<TauSignedComment>& Comment,
                                 const QByteArray& Host, const QByteArray& Version, qint64 Now,
                                 qint64 NewestPublished) {
    if (!Comment)
        return "the signed comment does not say which host, version and time it is for";
    if (Comment->Host.toLower() != Host.toLower())
        return "the info file is signed for another host";
    if (Comment->Version != Version)
        return "the info file is signed for another version";
    if (Comment->Expires && *Comment->Expires <= Now)
        return "the signed info file has expired";
    if (Comment->Published < NewestPublished)
        return "the info file is older than one taken before";
    return nullptr;
}

qint64 ReadNewestPublished(const QByteArray& Host, qint64 Now) {
    const TNewestRecord record = ReadRecord();
    const qint64 newest =
        record.perHost.isEmpty() ? record.legacy : record.perHost.value(Host.toLower(), 0);
    return std::min(newest, Now + kMostSecondsAhead);
}

void RecordNewestPublished(const QByteArray& Host, qint64 Published, qint64 Now) {
    TNewestRecord record = ReadRecord();
    const QByteArray host = Host.toLower();
    const qint64 kept = std::min(Published, Now + kMostSecondsAhead);
    if (host.isEmpty() || host.contains(' ') || host.contains('\n') ||
        record.perHost.value(host, 0) >= kept ||
        (!record.perHost.contains(host) && record.perHost.size() >= kMostHosts))
        return;
    record.perHost.insert(host, kept);
    qint64 newest = 0;
    QByteArray lines;
    for (auto entry = record.perHost.cbegin(); entry != record.perHost.cend(); ++entry) {
        newest = std::max(newest, entry.value());
        lines += entry.key() + ' ' + QByteArray::number(entry.value()) + '\n';
    }
    QSaveFile file(RecordPath());
    const QByteArray text =
        QByteArray::number(newest).leftJustified(kLegacyLineBytes - 1, ' ') + '\n' + lines;
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size())
        file.commit();
}

}  // namespace upgrader
