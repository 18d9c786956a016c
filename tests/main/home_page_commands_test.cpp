// The favorites menu's home page commands, with the real window and engine.
#include "main/home_page_commands.h"
#include "common/text_codec.h"
#include "tests/main/shell_fixture.h"

using test_support::WaitUntil;

// Setting writes the page's line in place of the whole file, emptying makes
// the file empty, and browsing follows the first line.
TEST_F(ShellTest, HomePageCommandsWriteAndFollowTheFirstLine) {
    server->writeFile("page.html", "<meta charset='utf-8'><title>问卷 首页</title>");
    CreateShownForm();
    Open("/page.html", "问卷 首页");
    const QString page = server->baseUrl() + "/page.html";
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

    // An empty first line is the blank page, whatever follows it.
    WriteFile(HomePageFile(), "\r\nEntry\t" + page.toLatin1() + "\r\n");
    Trigger("PopMainpage");
    ASSERT_TRUE(WaitForUrl("about:blank"));
    // A second TAB belongs to the URL: the engine is asked for it, TAB and all.
    WriteFile(HomePageFile(), "Entry\t" + page.toLatin1() + "\tw\r\n");
    Trigger("PopMainpage");
    ASSERT_TRUE(WaitUntil([&] { return PageUrl().startsWith(page + "%09w"); }))
        << PageUrl().toStdString();
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

// Before the view has a browser there is no current page: setting the home
// page leaves it blank and still reports success, and adding a favorite does
// nothing but put the star back.
TEST_F(ShellTest, WithoutABrowserTheCurrentPageIsEmpty) {
    QWidget window;
    window.setWindowTitle("Title");
    browser::TChromium crm(&window);
    main_window::TImage star(&window);
    star.LoadFromFile("ico/star_full_hover_ico.jpg");
    const main_window::ShellParts parts{window, crm, star};
    WriteFile(HomePageFile(), "Old\thttp://old/\r\n");
    main_window::THomePageCommands(parts).PopFavoritesSetMainClick();
    EXPECT_EQ(FileBytes(HomePageFile()), "");
    EXPECT_TRUE(Shows(&star, "ico/star_full_ico.jpg"));

    main_window::TFavoritesMenu menu(parts);
    star.LoadFromFile("ico/star_full_hover_ico.jpg");
    menu.PopFavoritesAddClick();
    EXPECT_FALSE(QFile::exists(FavoritesFile()));
    EXPECT_TRUE(Shows(&star, "ico/star_full_ico.jpg"));
    EXPECT_EQ(crm.Browser(), nullptr);
    expectedBoxes = {"成功设置当前页为主页！"};
}
