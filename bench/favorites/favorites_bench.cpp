// How long the star's menu takes to open for long favorites files: 64,000
// lines and 10 MB, opened twice (the second time the first menu's items are
// cleared too). Prints figures; asserts nothing.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <cstdio>

#include "browser/chromium.h"
#include "main/favorites_file.h"
#include "main/favorites_menu.h"
#include "main/picture_control.h"
#include "main/shell_parts.h"

namespace {

// Lines like the ones users collect: a Chinese title, a TAB and an address.
QByteArray FavoritesOf(qint64 bytes) {
    QByteArray file;
    for (int i = 0; file.size() < bytes; ++i)
        file += "\xce\xca\xbe\xed " + QByteArray::number(i) +
                "\thttp://survey.example.org/questionnaire?id=" + QByteArray::number(i) + "\r\n";
    return file;
}

double OpenMenuMs(main_window::TFavoritesMenu& menu) {
    QElapsedTimer timer;
    timer.start();
    menu.ImageFavoriteClick();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    menu.PopmenuSCJ()->hide();
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget form;
    browser::TChromium crm(&form);
    main_window::TImage star(&form);
    main_window::TFavoritesMenu menu({form, crm, star});
    const QString path = main_window::FavoritesFilePath();
    if (QFile::exists(path)) {
        std::printf("%s exists; not overwriting it\n", qPrintable(path));
        return 1;
    }
    for (const qint64 bytes : {qint64(64000) * 70, qint64(10) << 20}) {
        const QByteArray content = FavoritesOf(bytes);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        file.close();
        const double first = OpenMenuMs(menu);
        const double second = OpenMenuMs(menu);
        std::printf("favorites file of %lld lines (%.1f MB): menu opens in %.0f ms, again in "
                    "%.0f ms\n",
                    static_cast<long long>(content.count('\n')), double(content.size()) / 1048576.0,
                    first, second);
    }
    QFile::remove(path);
    return 0;
}
