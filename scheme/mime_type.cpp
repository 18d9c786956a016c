#include "scheme/mime_type.h"

#include <QMimeDatabase>

namespace scheme {

QString FileExtension(const QString& path) {
    const QString lastPart = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = lastPart.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : lastPart.mid(dot);
}

QString RegisteredMimeType(const QString& fileName) {
    const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(fileName);
    return types.isEmpty() ? QString() : types.first().name();
}

QString ResponseMimeType(const QString& registeredType, const QString& extension) {
    if (!registeredType.isEmpty())
        return registeredType;
    if (extension.compare(QLatin1String(".pdf"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("application/pdf");
    return QStringLiteral("application/octet-stream");
}

}  // namespace scheme
