#pragma once

#include <QString>
#include <optional>

namespace main_window {

// "主页.txt" in the executable's folder.
QString HomePageFilePath();

// The home page as the main window chooses its first page: nothing when the
// file is missing or its first line is empty, else the first line's URL (which
// may be empty after a trailing TAB). Raises common::FileError when the file
// exists but cannot be read.
std::optional<QString> ReadHomePageUrl(const QString& path);

}  // namespace main_window
