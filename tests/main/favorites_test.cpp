// The star's menu and the favorites file, with the real window and engine.
#include <QListView>

#include "common/text_codec.h"
#include "tests/main/shell_fixture.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/restricted_folder.h"

using test_support::WaitUntil;

namespace {

struct Item {
    QString name;
    QString caption;
    bool separator;
    bool operator==(const Item&) const = default;
};

QList<Item> Items(const QMenu* menu) {
    QList<Item> items;
    for (const QAction* action : menu->actions())
        items.append({action->objectName(), action->text(), action->isSeparator()});
    return items;
}

const QList<Item> kFixedItems = {
    {"PopFavoritesAdd", "加入收藏夹", false}, {"PopFavoritesEdit", "编辑收藏夹", false},
    {"PopMainpage", "浏览主页", false},       {"PopFavoritesSetMain", "设置当前页为主页", false},
    {"N1", "设置主页为空白页", false},        {"N4", "", true}};

}  // namespace

TEST_F(ShellTest, MenuHoldsTheFixedItemsThenOneItemPerLine) {
    // Pages the server does not have: only their addresses matter.
    const QString u1 = server->baseUrl() + "/1", u2 = server->baseUrl() + "/2",
                  u3 = server->baseUrl() + "/3";
    // A titled entry, an empty line, an entry without a title, a line of
    // blanks, and a URL alone as the last line without a line end.
    WriteFile(FavoritesFile(),
              common::ToGbk("新闻\t" + u1 + "\r\n\r\n\t" + u2 + "\n \t \r\n" + u3));
    CreateShownForm();
    form->move(500, 150);
    Child("ImageFavorite")->LoadFromFile("ico/star_full_hover_ico.jpg");

    for (int click = 0; click < 2; ++click) {
        ClickStar();
        ASSERT_TRUE(WaitUntil([&] { return Menu()->isVisible(); }));
        QList<Item> expected = kFixedItems;
        expected += {{"A0", "新闻", false},
                     {"A1", "", true},
                     {"A2", "", false},
                     {"A3", "", true},
                     {"A4", "", false}};
        EXPECT_EQ(Items(Menu()), expected) << "click " << click;
        // 18 pixels below the pointer, centred on it.
        const QPoint pointer = QCursor::pos();
        EXPECT_EQ(Menu()->geometry().top(), pointer.y() + 18);
        EXPECT_LE(std::abs(Menu()->geometry().center().x() - pointer.x()), 1);
        Menu()->hide();
    }
    // The generated items belong to the window.
    EXPECT_EQ(form->findChild<QAction*>("A4")->parent(), form.get());

    ClickStar();
    ASSERT_TRUE(WaitUntil([&] { return Menu()->isVisible(); }));
    QAction* entry = form->findChild<QAction*>("A2");
    QTest::mouseClick(Menu(), Qt::LeftButton, {}, Menu()->actionGeometry(entry).center());
    ASSERT_TRUE(WaitForUrl(u2)) << PageUrl().toStdString();
    Trigger("A4");
    ASSERT_TRUE(WaitForUrl(u3));
    Trigger("A0");
    ASSERT_TRUE(WaitForUrl(u1));

    // A change made by hand shows at the next click; a missing file leaves
    // the fixed items alone.
    WriteFile(FavoritesFile(), common::ToGbk("Only\t" + u2 + "\r\n"));
    ClickStar();
    EXPECT_EQ(Items(Menu()).size(), 7);
    EXPECT_EQ(Items(Menu()).last(), (Item{"A0", "Only", false}));
    Menu()->hide();
    Trigger("A0");
    ASSERT_TRUE(WaitForUrl(u2));
    RemoveFiles();
    ClickStar();
    EXPECT_EQ(Items(Menu()), kFixedItems);
    Menu()->hide();
    EXPECT_EQ(form->findChild<QAction*>("A0"), nullptr);
}

// A file too long for a menu shows as one scrolling list: a click on a line
// loads it; a separator line cannot be chosen.
TEST_F(ShellTest, AVeryLongFavoritesFileShowsAsAListWhoseLinesOpen) {
    server->writeFile("u.html", "<title>Chosen</title>");
    QByteArray lines;
    for (int i = 0; i < 1500; ++i)
        lines += i == 1 ? QByteArray("\r\n")
                        : "Page " + QByteArray::number(i) + "\t" + server->baseUrl().toUtf8() +
                              "/u.html?" + QByteArray::number(i) + "\r\n";
    WriteFile(FavoritesFile(), lines);
    CreateShownForm();
    ClickStar();
    ASSERT_TRUE(WaitUntil([&] { return Menu()->isVisible(); }));
    auto* list = Menu()->findChild<QListView*>("FavoritesList");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Items(Menu()).size(), kFixedItems.size() + 1);
    EXPECT_EQ(list->model()->rowCount(), 1500);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "Page 0");
    EXPECT_LE(list->window()->height(), list->screen()->availableGeometry().height());

    EXPECT_EQ(list->model()->index(1, 0).flags(), Qt::NoItemFlags) << "a separator is no choice";
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    test_support::ServeEvents(200);
    EXPECT_EQ(PageUrl(), "about:blank");
    const QModelIndex line = list->model()->index(1200, 0);
    list->scrollTo(line);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(line).center());
    ASSERT_TRUE(WaitForUrl(server->baseUrl() + "/u.html?1200")) << PageUrl().toStdString();
    EXPECT_FALSE(Menu()->isVisible());
}

TEST_F(ShellTest, AddingPutsTheNewEntryFirstAndKeepsEveryOldLine) {
    // "[*]" is shown and saved as written.
    server->writeFile("page.html", "<meta charset='utf-8'><title>问卷 [*] Page</title>");
    CreateShownForm();
    Open("/page.html", "问卷 [*] Page");
    const QString url = server->baseUrl() + "/page.html";
    auto* star = Child("ImageFavorite");

    // Missing file: exactly one line.
    star->LoadFromFile("ico/star_full_hover_ico.jpg");
    Trigger("PopFavoritesAdd");
    EXPECT_EQ(FileBytes(FavoritesFile()), common::ToGbk("问卷 [*] Page\t" + url + "\r\n"));
    EXPECT_TRUE(Shows(star, "ico/star_full_ico.jpg"));

    // n lines become n + 1: the old ones follow byte for byte (even bytes
    // that are no GBK text), each ending in CR LF; a lone LF and a missing
    // last line end become CR LF.
    const QByteArray oldLines[] = {common::ToGbk("新闻\t" + url.toUpper()),  // differs in case only
                                   "",
                                   " \t ",
                                   QByteArray("\xff\xfe\x80 raw\thttp://r/\r"),
                                   "T\t" + url.toLatin1() + "\tmore",
                                   "last"};
    WriteFile(FavoritesFile(), oldLines[0] + "\r\n" + oldLines[1] + "\r\n" + oldLines[2] + "\n" +
                                   oldLines[3] + "\r\n" + oldLines[4] + "\r\n" + oldLines[5]);
    Trigger("PopFavoritesAdd");
    QByteArray expected = common::ToGbk("问卷 [*] Page\t" + url + "\r\n");
    for (const QByteArray& line : oldLines)
        expected += line + "\r\n";
    EXPECT_EQ(FileBytes(FavoritesFile()), expected);

    // The same URL again is refused.
    Trigger("PopFavoritesAdd");
    EXPECT_EQ(FileBytes(FavoritesFile()), expected);
    // A file that cannot be replaced stays as it was, nothing is left beside
    // it, and the command ends at the error: no message, the star as it was.
    const QByteArray old = common::ToGbk("旧\thttp://old/\r\n");
    WriteFile(FavoritesFile(), old);
    star->LoadFromFile("ico/star_full_hover_ico.jpg");
    const QStringList filesBefore = QDir(common::ExecutableFolder()).entryList(QDir::Files);
    QFile::setPermissions(FavoritesFile(), QFile::ReadOwner);
    {
        test_support::RestrictedFolder folder(common::ExecutableFolder(), 0222);
        Trigger("PopFavoritesAdd");
    }
    QFile::setPermissions(FavoritesFile(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(FileBytes(FavoritesFile()), old);
    EXPECT_EQ(QDir(common::ExecutableFolder()).entryList(QDir::Files), filesBefore);
    EXPECT_TRUE(Shows(star, "ico/star_full_hover_ico.jpg"));

    // A folder where the file should be: reading it fails, the menu does not
    // pop up and adding changes nothing.
    RemoveFiles();
    ASSERT_TRUE(QDir().mkdir(FavoritesFile()));
    ClickStar();
    test_support::ServeEvents(100);
    EXPECT_FALSE(Menu()->isVisible());
    Trigger("PopFavoritesAdd");
    EXPECT_TRUE(QFileInfo(FavoritesFile()).isDir());
    expectedBoxes = QStringList(2, "成功收藏到收藏夹最上面！") +
                    QStringList{"收藏过此网页，无需再次收藏！", "File access denied",
                                "I/O error 21", "I/O error 21"};
    EXPECT_EQ(boxes.captions.value(0), "Quorvane");
}

TEST_F(ShellTest, EditingOpensTheFileInTheDesktopsEditorWithoutWaiting) {
    // A desktop whose only program for text files is a recorder that notes
    // the file and its environment, then stays open until the test releases
    // it. The system's programs (and whatever helpers they need) stay hidden.
    test_support::FakeDesktop desktop;
    QTemporaryDir folder;
    const QString opened = folder.filePath("opened"), release = folder.filePath("release"),
                  closed = folder.filePath("closed"), editor = folder.filePath("my editor.sh");
    WriteFile(editor, QStringLiteral("#!/bin/sh\nenv > '%1/env'\nprintf '%s' \"$1\" > '%2'\n"
                                     "for i in $(seq 200); do [ -e '%3' ] && break; sleep 0.1; "
                                     "done\ntouch '%4'\n")
                          .arg(folder.path(), opened, release, closed)
                          .toUtf8());
    QFile::setPermissions(editor, QFile::ReadOwner | QFile::ExeOwner);
    desktop.WriteEntry("quorvane-test-editor.desktop", "\"" + editor + "\" %f");
    desktop.SetDefaults("text/plain=quorvane-test-editor.desktop\n");

    CreateShownForm();
    auto* star = Child("ImageFavorite");
    star->LoadFromFile("ico/star_full_hover_ico.jpg");
    Trigger("PopFavoritesEdit");
    // The file was made empty for the editor, and the command is back while
    // the editor is still open.
    EXPECT_EQ(FileBytes(FavoritesFile()), "");
    EXPECT_TRUE(Shows(star, "ico/star_full_ico.jpg"));
    EXPECT_TRUE(WaitUntil([&] { return FileBytes(opened) == FavoritesFile().toUtf8(); }))
        << FileBytes(opened).toStdString();
    EXPECT_FALSE(QFile::exists(closed));
    // The editor does not inherit what our engine reads.
    EXPECT_FALSE(FileBytes(folder.filePath("env")).contains("QTWEBENGINE"))
        << FileBytes(folder.filePath("env")).toStdString();
    QFile(release).open(QIODevice::WriteOnly);
    EXPECT_TRUE(WaitUntil([&] { return QFile::exists(closed); }));

    // An existing file is opened as it is.
    WriteFile(FavoritesFile(), "T\thttp://kept/\r\n");
    QFile::remove(opened);
    QFile::remove(closed);
    Trigger("PopFavoritesEdit");
    EXPECT_TRUE(WaitUntil([&] { return QFile::exists(closed) && QFile::exists(opened); }));
    EXPECT_EQ(FileBytes(FavoritesFile()), "T\thttp://kept/\r\n");
}
