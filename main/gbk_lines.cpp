#include "main/gbk_lines.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "common/file_error_text.h"
#include "common/text_codec.h"

namespace main_window {

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        // Qt refuses a folder itself, without a system error.
        const int error = errno ? errno : QFileInfo(path).isDir() ? EISDIR : EIO;
        throw common::FileError(error);
    }
    errno = 0;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw common::FileError(errno ? errno : EIO);
    return bytes;
}

}  // namespace

QList<QByteArray> ReadByteLines(const QString& path) {
    const QByteArray bytes = ReadAll(path);
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines << line;
        start = end + 1;
    }
    return lines;
}

QStringList ReadGbkLines(const QString& path) {
    QStringList lines;
    for (const QByteArray& line : ReadByteLines(path))
        lines << common::FromGbk(line);
    return lines;
}

QString ReadFirstGbkLine(const QString& path) {
    const QStringList lines = ReadGbkLines(path);
    return lines.isEmpty() ? QString() : lines.constFirst();
}

EntryLine SplitEntryLine(const QString& line) {
    const qsizetype tab = line.indexOf(u'\t');
    if (tab < 0)
        return {QString(), line};
    return {line.left(tab), line.mid(tab + 1)};
}

}  // namespace main_window
