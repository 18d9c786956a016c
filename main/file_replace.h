#pragma once

#include <QByteArray>
#include <QString>

namespace main_window {

// Gives the file `content` as its whole new content. The content is written
// to a new file beside it and renamed over it only once it is complete, so a
// failure part-way (disk full, no permission, a crash) leaves the old file as
// it was, or no file where there was none. Where the folder takes no new file
// but the file may be written, it is rewritten in place (then synced). A
// file that exists but may not be written is refused. Raises
// common::FileError with the system's error.
void ReplaceFileContent(const QString& path, const QByteArray& content);

// Creates the file empty when it does not exist; an existing file is left as
// it is. Raises common::FileError when it cannot be created.
void CreateFileIfMissing(const QString& path);

}  // namespace main_window
