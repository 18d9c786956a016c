
#include "upgrader/verification/signed_comment.h"
#include "common/program_file_names.h"

#include <QFile>
#include <QList>
#include <QSaveFile>
#include <algorithm>

#include "common/executable_folder.h"

namespace upgrader {

namespace {

constexpr qint64 kMostRecordBytes = 32;
constexpr qint64 kMostSecondsAhead = 24 * 60 * 60;

std::optional<qint64> Seconds(const QByteArray& Text) {
    bool ok = false;
    const qint64 value = Text.toLongLong(&ok);
    return ok && value >= 0 && !Text.startsWith('+') ? std::optional(value) : std::nullopt;
}

QString RecordPath() {
    return common::ExecutablePath() + QLatin1String(common::kNewestUpdateSuffix);
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

qint64 ReadNewestPublished(qint64 Now) {
    QFile record(RecordPath());
    if (!record.open(QIODevice::ReadOnly))
        return 0;
    return std::min(Seconds(record.read(kMostRecordBytes).trimmed()).value_or(0),
                    Now + kMostSecondsAhead);
}

void RecordNewestPublished(qint64 Published, qint64 Now) {
    Published = std::min(Published, Now + kMostSecondsAhead);
    QSaveFile record(RecordPath());
    if (record.open(QIODevice::WriteOnly) && record.write(QByteArray::number(Published) + '\n') > 0)
        record.commit();
}

}  // namespace upgrader
