#include "main/gbk_lines.h"

#include <QFile>
#include <cerrno>

#include "common/file_error_text.h"
#include "common/text_codec.h"

namespace main_window {

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw common::FileError(errno ? errno : EIO);
    errno = 0;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw common::FileError(errno ? errno : EIO);
    return bytes;
}

QString DecodeLine(QByteArray line) {
    if (line.endsWith('\r'))
        line.chop(1);
    return common::FromGbk(line);
}

}  // namespace

QStringList ReadGbkLines(const QString& path) {
    const QByteArray bytes = ReadAll(path);
    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        lines << DecodeLine(bytes.mid(start, end - start));
        start = end + 1;
    }
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
