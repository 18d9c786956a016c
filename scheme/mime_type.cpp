#include "scheme/mime_type.h"

#include <QMimeDatabase>
#include <QStringDecoder>

namespace scheme {

QString FileExtension(const QString& path) {
    const QString lastPart = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = lastPart.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : lastPart.mid(dot);
}

QString RegisteredMimeType(const QString& extension) {
    if (extension.size() < 2)
        return QString();
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("file") + extension,
                                                           QMimeDatabase::MatchExtension);
    return type.isDefault() ? QString() : type.name();
}

bool StartsAsUtf8(QIODevice& file) {
    constexpr qint64 kLookedAt = 1024 * 1024;
    const QByteArray start = file.read(kLookedAt);
    file.seek(0);
    // A character cut at the end of what was read is no error: the decoder
    // keeps it pending.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(start);  // decoding happens on this conversion
    return !utf8.hasError();
}

QString ResponseMimeType(const QString& registeredType, const QString& extension) {
    if (!registeredType.isEmpty())
        return registeredType;
    if (extension.compare(QLatin1String(".pdf"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("application/pdf");
    return QStringLiteral("application/octet-stream");
}

}  // namespace scheme
