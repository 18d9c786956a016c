// The main window: its first page, the address box, the tool bar, the status
// bar, the About box and the developer tools docked below the page.
#include <QLabel>
#include <QWebEnginePage>

#include "browser/chromium_devtools.h"
#include "common/text_codec.h"
#include "main/about_form.h"
#include "tests/main/shell_fixture.h"

TEST_F(ShellTest, HomePageFileChoosesTheFirstPage) {
    server->writeFile("home.html", "<title>Home</title>");
    const QString home = server->baseUrl() + "/home.html";
    // A GBK title, a TAB and the URL: the URL is loaded and the loading
    // picture shows at once, before the engine reports anything.
    WriteFile(HomePageFile(),
              common::ToGbk(QStringLiteral("问卷首页\t")) + home.toLatin1() + "\r\nX\tY\r\n");
    CreateForm();
    EXPECT_TRUE(Child("ImageProcess")->Animated());
    EXPECT_TRUE(Shows(Child("ImageProcess"), "ico/load.gif"));
    ASSERT_TRUE(WaitForUrl(home));
    ASSERT_TRUE(WaitUntil([&] { return Child<QLineEdit>("edAddress")->text() == home; }));
    EXPECT_TRUE(Shows(Child("ImageProcess"), "ico/refresh_blue_ico.jpg"));
}

TEST_F(ShellTest, TheAddressBoxLoadsTheTypedTextAndShowsAddressesDecoded) {
    CreateShownForm();
    auto* box = Child<QLineEdit>("edAddress");
    const QString typed = "  " + server->baseUrl() + "/typed.html  ";
    box->setText(typed);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->text(), typed);
    // The engine's own address parser drops the surrounding blanks.
    ASSERT_TRUE(WaitForUrl(server->baseUrl() + "/typed.html")) << PageUrl().toStdString();

    // Without a scheme the text is a web address; a text that is no address
    // even so leaves the page as it is (it used to go blank).
    box->setText(QString(server->baseUrl()).remove("http://") + "/bare.html");
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_TRUE(WaitForUrl(server->baseUrl() + "/bare.html")) << PageUrl().toStdString();
    box->setText("no such host/bare.html");
    QTest::keyClick(box, Qt::Key_Return);
    test_support::ServeEvents(500);
    EXPECT_EQ(PageUrl(), server->baseUrl() + "/bare.html");

    // The reload picture loads the typed text too. A Chinese address is
    // shown decoded from its start, and requested (and loaded again) encoded.
    server->writeFile("问卷/城市.html", "<title>City</title>");
    const QString readable = server->baseUrl() + "/问卷/城市.html?城市=北京";
    box->setText(readable);
    QTest::mouseClick(Child("ImageProcess"), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(WaitUntil([&] { return form->windowTitle() == "City" && !form->FLoading; }));
    EXPECT_EQ(box->text(), readable);
    EXPECT_EQ(box->cursorPosition(), 0);
    QTest::keyClick(box, Qt::Key_Return);
    const QByteArray request =
        "GET /%E9%97%AE%E5%8D%B7/%E5%9F%8E%E5%B8%82.html?"
        "%E5%9F%8E%E5%B8%82=%E5%8C%97%E4%BA%AC ";
    EXPECT_TRUE(WaitUntil([&] {
        return FileBytes(server->prefix() + "/logs/access.log").count(request) == 2;
    })) << FileBytes(server->prefix() + "/logs/access.log").toStdString();
}

TEST_F(ShellTest, ButtonPicturesFollowTheMouseAndTheHistory) {
    CreateForm();  // without a home page file: nothing is loading
    EXPECT_FALSE(Child("ImageProcess")->Animated());
    ASSERT_TRUE(WaitForUrl("about:blank"));
    // The picture follows the pointer over the star's round face only.
    auto* star = Child("ImageFavorite");
    MoveMouse(star, QPoint(2, 2));
    EXPECT_TRUE(Shows(star, "ico/star_full_hover_ico.jpg"));
    MoveMouse(star, QPoint(24, 10));
    EXPECT_TRUE(Shows(star, "ico/star_full_ico.jpg"));
    QTest::mousePress(star, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(Shows(star, "ico/star_full_active_ico.jpg"));
    QTest::mouseRelease(star, Qt::LeftButton, {}, QPoint(5, 5));

    // Without history the back and forward pictures are gray, and hovering
    // changes nothing.
    auto* back = Child("ImageBack");
    auto* forward = Child("ImageForword");
    MoveMouse(back, QPoint(10, 10));
    EXPECT_TRUE(Shows(back, "ico/left_gray_ico.jpg"));
    EXPECT_TRUE(Shows(forward, "ico/right_gray_ico.jpg"));

    // Two pages the server does not have: only the history matters.
    form->crm()->Load(server->baseUrl() + "/1");
    ASSERT_TRUE(WaitForUrl(server->baseUrl() + "/1"));
    form->crm()->Load(server->baseUrl() + "/2");
    ASSERT_TRUE(WaitForUrl(server->baseUrl() + "/2"));
    EXPECT_TRUE(Shows(back, "ico/left_blue_ico.jpg"));
    EXPECT_TRUE(Shows(forward, "ico/right_gray_ico.jpg"));
    MoveMouse(back, QPoint(12, 11));
    EXPECT_TRUE(Shows(back, "ico/left_hover_ico.jpg"));
    QTest::mouseClick(back, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(WaitForUrl(server->baseUrl() + "/1"));
    EXPECT_TRUE(Shows(forward, "ico/right_blue_ico.jpg"));
}

// A link under the pointer shows in the status bar, and nothing once the
// pointer leaves it.
TEST_F(ShellTest, TheStatusBarShowsTheLinkUnderThePointer) {
    server->writeFile("status.html",
                      "<title>Status page</title><body style='margin:0'><a href='/next.html' "
                      "style='display:block;width:400px;height:300px'>next</a></body>");
    CreateShownForm();
    Open("/status.html", "Status page");
    QStatusBar* status = StatusBar();
    QWidget* page = form->crm()->view()->focusProxy();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WaitUntil([&] {
        QTest::mouseMove(page, QPoint(50 + status->currentMessage().size() % 3, 50));
        return status->currentMessage() == server->baseUrl() + "/next.html";
    }));
    ASSERT_TRUE(WaitUntil([&] {
        QTest::mouseMove(page, QPoint(600, 350));
        return status->currentMessage().isEmpty();
    }));
}

// Started without its pictures: each missing one is reported once, one box at
// a time (the engine's events wait while a box is open), and the window
// still follows the page. A picture missing later, for the pointer on a
// button, is reported once however often it is wanted.
TEST_F(ShellTest, StartedWithoutItsPicturesReportsEachOneAtATime) {
    QDir("ico").removeRecursively();
    boxes.holdMs = 300;  // the engine's first events come while a box is open
    CreateShownForm();
    ASSERT_TRUE(WaitUntil([&] { return !boxes.texts.isEmpty(); }));
    test_support::ServeEvents(1000);
    EXPECT_EQ(boxes.mostOpenAtOnce, 1);
    EXPECT_EQ(Child<QLineEdit>("edAddress")->text(), "about:blank");
    boxes.holdMs = 0;
    for (int i = 0; i < 5; ++i)
        MoveMouse(Child("ImageAbout"), QPoint(5 + i, 5));
    test_support::ServeEvents(300);
    EXPECT_EQ(QSet<QString>(boxes.texts.begin(), boxes.texts.end()).size(), boxes.texts.size())
        << boxes.texts.join('|').toStdString();
    for (const char* file : {"left_gray_ico.jpg", "right_gray_ico.jpg", "info_hover_ico.jpg"})
        EXPECT_TRUE(boxes.texts.contains(
            QStringLiteral("Cannot open file \"ico/%1\". No such file or directory").arg(file)))
            << file;
    EXPECT_EQ(boxes.captions.first(), "Quorvane");
    EXPECT_TRUE(form->isVisible());
    expectedBoxes = boxes.texts;
}

TEST_F(ShellTest, EveryClickOnTheInfoPictureOpensOneMoreAboutBox) {
    CreateShownForm();
    auto* info = Child("ImageAbout");
    QTest::mouseClick(info, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(info, Qt::LeftButton, {}, QPoint(12, 12));
    const auto boxesOpen = form->findChildren<main_window::TformAbout*>();
    ASSERT_EQ(boxesOpen.size(), 2);
    for (main_window::TformAbout* about : boxesOpen) {
        ASSERT_TRUE(WaitUntil([&] { return about->isVisible(); }));
        EXPECT_FALSE(about->isModal());
        EXPECT_EQ(about->windowTitle(), "关于");
        EXPECT_EQ(about->findChild<QLabel*>("Label1")->text(),
                  "版本：Quorvane客户端（版本：2.0.0.5   日期：2016-12-15）");
    }
}

// Docked below the status bar, 200 pixels high, with a splitter above the
// status bar; a second double click closes them.
TEST_F(ShellTest, DoubleClicksOnTheStatusBarDockAndCloseTheDeveloperTools) {
    CreateShownForm();
    auto* tools = Child<browser::TChromiumDevTools>("DevTools");
    auto* splitter = Child<QWidget>("Splitter");
    QWebEnginePage* page = form->crm()->view()->page();
    QTest::mouseDClick(StatusBar(), Qt::LeftButton, {}, QPoint(50, 8));
    ASSERT_TRUE(WaitUntil([&] { return tools->isVisible() && splitter->isVisible(); }));
    EXPECT_NE(page->devToolsPage(), nullptr);
    EXPECT_EQ(tools->y(), StatusBar()->geometry().bottom() + 1);
    ASSERT_TRUE(WaitUntil([&] { return tools->height() == 200; })) << tools->height();
    QTest::mouseDClick(StatusBar(), Qt::LeftButton, {}, QPoint(50, 8));
    ASSERT_TRUE(WaitUntil([&] { return !tools->isVisible() && !splitter->isVisible(); }));
    EXPECT_EQ(page->devToolsPage(), nullptr);
}
