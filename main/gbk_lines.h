#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace main_window {

// Reads a file as lines of bytes, each without its line end: CR LF or a lone
// LF end a line, a last line without a line end is a line, and an end of file
// right after a line end adds no empty line. Raises common::FileError when the
// file cannot be opened or read.
QList<QByteArray> ReadByteLines(const QString& path);

// Reads a GBK text file as lines: CR LF or a lone LF end a line, a last line
// without a line end is a line, and an end of file right after a line end adds
// no empty line. Raises common::FileError when the file cannot be opened or read.
QStringList ReadGbkLines(const QString& path);

// The first line only (empty for an empty file), read the same way.
QString ReadFirstGbkLine(const QString& path);

// One line of the favorites or home page file: the title before the first TAB,
// the URL after it (a second TAB belongs to the URL); without a TAB the whole
// line is the URL and the title is empty.
struct EntryLine {
    QString title;
    QString url;
};
EntryLine SplitEntryLine(const QString& line);

}  // namespace main_window
