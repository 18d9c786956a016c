#include "main/favorites_file.h"

#include <QFileInfo>
#include <algorithm>

#include "common/executable_folder.h"
#include "common/text_codec.h"
#include "main/file_replace.h"
#include "main/gbk_lines.h"

namespace main_window {

namespace {
constexpr char kLineEnd[] = "\r\n";
}

QString FavoritesFilePath() {
    return common::ExecutableFolder() + QStringLiteral("收藏夹.txt");
}

bool IsSeparatorLine(const QString& line) {
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() <= 32; });
}

QList<Favorite> ReadFavorites(const QString& path) {
    QList<Favorite> favorites;
    for (const QString& line : ReadGbkLines(path)) {
        if (IsSeparatorLine(line)) {
            favorites.append({QString(), QString(), true});
            continue;
        }
        const EntryLine entry = SplitEntryLine(line);
        favorites.append({entry.title, entry.url, false});
    }
    return favorites;
}

AddFavoriteResult AddFavorite(const QString& path, const QString& title, const QString& url) {
    const QList<QByteArray> lines =
        QFileInfo::exists(path) ? ReadByteLines(path) : QList<QByteArray>();
    for (const QByteArray& line : lines) {
        if (SplitEntryLine(common::FromGbk(line)).url == url)
            return AddFavoriteResult::AlreadyThere;
    }
    QByteArray content = common::ToGbk(title + u'\t' + url) + kLineEnd;
    for (const QByteArray& line : lines)
        content += line + kLineEnd;
    ReplaceFileContent(path, content);
    return AddFavoriteResult::Added;
}

}  // namespace main_window
