#pragma once

#include <QString>

namespace common {

// The installed desktop entry the user's desktop runs for the MIME type or
// URL scheme type ("text/plain", "x-scheme-handler/http"), as
// "firefox.desktop": the first installed one of the [Default Applications]
// of the mimeapps.list files in the desktop's order, then of the older
// defaults.list and mimeinfo.cache files. Empty when none is registered.
QString DefaultDesktopEntry(const QString& mimeType);

}  // namespace common
