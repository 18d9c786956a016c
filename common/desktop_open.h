#pragma once

#include <QString>
#include <QStringList>

namespace common {

// Opens the target (a file path or an address) with the program the desktop
// runs by default for the first of the MIME types that has one installed,
// without waiting for it; else with the desktop's opener (xdg-open). False
// when nothing could be started.
bool OpenWithDefaultApplication(const QStringList& mimeTypes, const QString& target);

// Opens the file with the desktop's default program for the type its name
// says: an empty file has no content to tell its type by.
bool OpenFileWithDefaultApplication(const QString& path);

}  // namespace common
