// The star's menu: the favorites file and the home page commands, with the
// real window and engine.
#include <QListView>

#include "common/text_codec.h"
#include "tests/main/shell_fixture.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/restricted_folder.h"

namespace {

// The menu's items as their texts, "-" for a separator.
QStringList Items(const QMenu* menu) {
    QStringList items;
    for (const QAction* action : menu->actions())
        items << (action->isSeparator() ? "-" : action->text());
    return items;
}

const QStringList kFixedItems = {"加入收藏夹",       "编辑收藏夹",       "浏览主页",
                                 "设置当前页为主页", "设置主页为空白页", "-"};

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
    ClickStar();
    ASSERT_TRUE(WaitUntil([&] { return Menu()->isVisible(); }));
    EXPECT_EQ(Items(Menu()), kFixedItems + QStringList({"新闻", "-", "", "-", ""}));
    QAction* entry = form->findChild<QAction*>("A2");
    QTest::mouseClick(Menu(), Qt::LeftButton, {}, Menu()->actionGeometry(entry).center());
    ASSERT_TRUE(WaitForUrl(u2)) << PageUrl().toStdString();
    Trigger("A4");
    ASSERT_TRUE(WaitForUrl(u3));

    // A change made by hand shows at the next click; a missing file leaves
    // the fixed items alone.
    WriteFile(FavoritesFile(), common::ToGbk("Only\t" + u1 + "\r\n"));
    ClickStar();
    EXPECT_EQ(Items(Menu()), kFixedItems + QStringList("Only"));
    Menu()->hide();
    Trigger("A0");
    ASSERT_TRUE(WaitForUrl(u1));
    RemoveFiles();
    ClickStar();
    EXPECT_EQ(Items(Menu()), kFixedItems);
    Menu()->hide();
}

// A file too long for a menu shows as one scrolling list whose lines open.
TEST_F(ShellTest, AVeryLongFavoritesFileShowsAsAListWhoseLinesOpen) {
    QByteArray lines;
    for (int i = 0; i < 1500; ++i)
        lines +=
            "Page\t" + server->baseUrl().toUtf8() + "/u.html?" + QByteArray::number(i) + "\r\n";
    WriteFile(FavoritesFile(), lines);
    CreateShownForm();
    ClickStar();
    ASSERT_TRUE(WaitUntil([&] { return Menu()->isVisible(); }));
    auto* list = Menu()->findChild<QListView*>("FavoritesList");
    ASSERT_NE(list, nullptr);
    const QModelIndex line = list->model()->index(1200, 0);
    list->scrollTo(line);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(line).center());
    ASSERT_TRUE(WaitForUrl(server->baseUrl() + "/u.html?1200")) << PageUrl().toStdString();
}

TEST_F(ShellTest, AddingPutsTheNewEntryFirstAndKeepsEveryOldLine) {
    // "[*]" is shown and saved as written.
    const QString url = ShowTitledPage("问卷 [*] Page");
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
                                   " \t ", QByteArray("\xff\xfe\x80 raw\thttp://r/\r"), "last"};
    WriteFile(FavoritesFile(),
              oldLines[0] + "\r\n" + oldLines[1] + "\n" + oldLines[2] + "\r\n" + oldLines[3]);
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
    WriteFile(FavoritesFile(), old, 0400);
    star->LoadFromFile("ico/star_full_hover_ico.jpg");
    const QStringList filesBefore = QDir(common::ExecutableFolder()).entryList(QDir::Files);
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

// The desktop's editor for text files gets the file as its argument, without
// what our engine reads in its environment; the file is made for it.
TEST_F(ShellTest, EditingOpensTheFileInTheDesktopsEditor) {
    test_support::FakeDesktop desktop;
    QTemporaryDir folder;
    const QString editor = folder.filePath("my editor.sh");
    WriteFile(editor,
              QStringLiteral("#!/bin/sh\nenv > '%1/env'\nprintf '%s' \"$1\" > '%1/opened'\n")
                  .arg(folder.path())
                  .toUtf8(),
              0500);
    desktop.WriteEntry("quorvane-test-editor.desktop", "\"" + editor + "\" %f");
    desktop.SetDefaults("text/plain=quorvane-test-editor.desktop\n");

    CreateShownForm();
    Trigger("PopFavoritesEdit");
    EXPECT_EQ(FileBytes(FavoritesFile()), "");
    ASSERT_TRUE(WaitUntil(
        [&] { return FileBytes(folder.filePath("opened")) == FavoritesFile().toUtf8(); }));
    const QByteArray environment = FileBytes(folder.filePath("env"));
    EXPECT_TRUE(environment.contains("PATH=") && !environment.contains("QTWEBENGINE"))
        << environment.toStdString();
    // An existing file is opened as it is.
    WriteFile(FavoritesFile(), "T\thttp://kept/\r\n");
    Trigger("PopFavoritesEdit");
    EXPECT_EQ(FileBytes(FavoritesFile()), "T\thttp://kept/\r\n");
}

// Setting writes the page's line in place of the whole file, emptying makes
// the file empty, and browsing follows the first line.
TEST_F(ShellTest, HomePageCommandsWriteAndFollowTheFirstLine) {
    const QString page = ShowTitledPage("问卷 首页");
    auto* star = Child("ImageFavorite");
    WriteFile(HomePageFile(), "Old\thttp://old/\r\nsecond line\r\n");
    star->LoadFromFile("ico/star_full_hover_ico.jpg");
    Trigger("PopFavoritesSetMain");
    EXPECT_TRUE(Shows(star, "ico/star_full_ico.jpg"));
    EXPECT_EQ(FileBytes(HomePageFile()), common::ToGbk("问卷 首页\t" + page) + "\r\n");
    form->crm()->Load("about:blank");
    ASSERT_TRUE(WaitForUrl("about:blank"));
    star->LoadFromFile("ico/star_full_hover_ico.jpg");
    Trigger("PopMainpage");
    EXPECT_TRUE(Shows(star, "ico/star_full_ico.jpg"));
    ASSERT_TRUE(WaitForUrl(page));
    Trigger("N1");
    EXPECT_EQ(FileBytes(HomePageFile()), "");

    // Without a home page file the empty address is loaded, which the
    // engine shows as the blank page.
    QFile::remove(HomePageFile());
    Trigger("PopMainpage");
    ASSERT_TRUE(WaitForUrl("about:blank"));

    // A home page file that cannot be written: the error, no success
    // message, and the old state stays.
    ASSERT_TRUE(QDir().mkdir(HomePageFile()));
    Trigger("PopFavoritesSetMain");
    Trigger("N1");
    EXPECT_TRUE(QFileInfo(HomePageFile()).isDir());
    expectedBoxes = {"成功设置当前页为主页！", "成功设置主页为空白页！", "I/O error 21",
                     "I/O error 21"};
}
