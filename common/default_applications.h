#pragma once

#include <QString>
#include <QStringList>

namespace common {

// The desktop's default applications, as GIO finds them: the user's and the
// system's mimeapps.list files with their added and removed associations,
// the installed desktop entries and their Exec lines.

// The command line (the Exec line) of the desktop's default application for
// the MIME type or URL scheme type ("text/plain", "x-scheme-handler/http");
// empty when none is installed.
QString DefaultApplicationCommandLine(const QString& mimeType);

// Opens the target (a file path or an address) with the desktop's default
// application for the first of the MIME types that has one installed, without
// waiting for it; else with the desktop's opener (xdg-open). The program gets
// none of what the engine reads in its environment. False when nothing could
// be started.
bool OpenWithDefaultApplication(const QStringList& mimeTypes, const QString& target);

// Opens the file with the desktop's default program for the type its name
// says: an empty file has no content to tell its type by.
bool OpenFileWithDefaultApplication(const QString& path);

}  // namespace common
