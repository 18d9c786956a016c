#include "main/home_page_file.h"

#include <QFileInfo>

#include "common/executable_folder.h"
#include "main/gbk_lines.h"

namespace main_window {

QString HomePageFilePath() {
    return common::ExecutableFolder() + QStringLiteral("主页.txt");
}

std::optional<QString> ReadHomePageUrl(const QString& path) {
    if (!QFileInfo::exists(path))
        return std::nullopt;
    const QString line = ReadFirstGbkLine(path);
    if (line.isEmpty())
        return std::nullopt;
    return SplitEntryLine(line).url;
}

}  // namespace main_window
