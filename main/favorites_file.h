#pragma once

#include <QList>
#include <QString>

namespace main_window {

// "收藏夹.txt" in the executable's folder.
QString FavoritesFilePath();

// One line of the favorites file. A line that is empty once the characters
// up to code 32 are trimmed from both ends is a separator and has no URL;
// otherwise title and URL are split from the line as it stands.
struct Favorite {
    QString title;
    QString url;
    bool separator = false;
};

bool IsSeparatorLine(const QString& line);

// Every line of the file, in file order (newest first). Raises
// common::FileError when the file cannot be opened or read.
QList<Favorite> ReadFavorites(const QString& path);

enum class AddFavoriteResult { Added, AlreadyThere };

// Puts "title TAB url" as the new first line, the old lines following
// byte for byte and in their order, every line ending in CR LF; a missing
// file becomes a file of that one line. Refused, with the file untouched,
// when a line's URL equals `url` exactly (case counts; a line without a TAB
// is a URL as a whole). Raises common::FileError when the file cannot be
// read or replaced; the old file then stays as it was.
AddFavoriteResult AddFavorite(const QString& path, const QString& title, const QString& url);

}  // namespace main_window
