#include "main/home_page_commands.h"

#include <QFileInfo>

#include "common/application.h"
#include "common/message_boxes.h"
#include "common/text_codec.h"
#include "main/file_replace.h"
#include "main/gbk_lines.h"
#include "main/home_page_file.h"

namespace main_window {

void THomePageCommands::PopMainpageClick() {
    common::RunHandler([this] {
        parts_.ShowNormalStar();
        const QString path = HomePageFilePath();
        if (!QFileInfo::exists(path)) {
            parts_.crm.Load(QString());
            return;
        }
        const QString line = ReadFirstGbkLine(path);
        parts_.crm.Load(line.isEmpty() ? QStringLiteral("about:blank") : SplitEntryLine(line).url);
    });
}

// With no page (no browser yet) the home page file is emptied: the home page
// is then the blank page, and that is reported as done.
void THomePageCommands::PopFavoritesSetMainClick() {
    common::RunHandler([this] {
        parts_.ShowNormalStar();
        const QString url = parts_.CurrentUrl();
        QByteArray content;
        if (!url.isEmpty())
            content = common::ToGbk(parts_.Caption() + u'\t' + url) + "\r\n";
        ReplaceFileContent(HomePageFilePath(), content);
        common::ShowInformationBox(QStringLiteral("成功设置当前页为主页！"));
    });
}

void THomePageCommands::N1Click() {
    common::RunHandler([this] {
        parts_.ShowNormalStar();
        ReplaceFileContent(HomePageFilePath(), QByteArray());
        common::ShowInformationBox(QStringLiteral("成功设置主页为空白页！"));
    });
}

}  // namespace main_window
