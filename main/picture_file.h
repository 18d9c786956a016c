#pragma once

#include <QByteArray>
#include <QString>

namespace main_window {

// The largest picture file read into memory. The tool bar's pictures are a few
// kilobytes; anything far larger is not a picture for a button.
inline constexpr qint64 kMaxPictureFileBytes = 64 * 1024 * 1024;

// Reads a whole picture file. A relative path is taken from the process's
// current folder. Raises PictureError with the system's reason
// ("No such file or directory", "Is a directory", ...).
QByteArray ReadPictureFile(const QString& path);

}  // namespace main_window
