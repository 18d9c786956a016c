// The About box and the developer tools docked below the page.
#include <QLabel>
#include <QPointer>
#include <QWebEnginePage>

#include "main/about_form.h"
#include "main/dev_tools_toggle.h"
#include "tests/main/shell_fixture.h"

using test_support::WaitUntil;

TEST_F(ShellTest, EveryClickOnTheInfoPictureOpensOneMoreAboutBox) {
    CreateShownForm();
    auto* info = Child("ImageAbout");
    QTest::mouseClick(info, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(info, Qt::LeftButton, {}, QPoint(12, 12));
    const QList<main_window::TformAbout*> boxesOpen =
        form->findChildren<main_window::TformAbout*>();
    ASSERT_EQ(boxesOpen.size(), 2);
    for (main_window::TformAbout* about : boxesOpen) {
        ASSERT_TRUE(WaitUntil([&] { return about->isVisible(); }));
        EXPECT_FALSE(about->isModal());
        EXPECT_EQ(about->windowTitle(), "关于");
        EXPECT_EQ(about->size(), QSize(666, 149));
        EXPECT_EQ(about->minimumSize(), about->maximumSize());
        EXPECT_EQ(about->palette().color(about->backgroundRole()), QColor(Qt::white));
        auto* version = about->findChild<QLabel*>("Label1");
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version->text(), "版本：Quorvane客户端（版本：2.0.0.5   日期：2016-12-15）");
        EXPECT_EQ(version->geometry(), QRect(41, 30, 560, 16));
        EXPECT_EQ(version->font().pixelSize(), 13);
        auto* producer = about->findChild<QLabel*>("Label3");
        ASSERT_NE(producer, nullptr);
        EXPECT_FALSE(producer->text().isEmpty());
        auto* supervisor = about->findChild<QLabel*>("Label4");
        ASSERT_NE(supervisor, nullptr);
        EXPECT_TRUE(supervisor->text().startsWith("监制："));
        EXPECT_EQ(supervisor->geometry(), QRect(42, 96, 279, 17));
        const QPoint offset = about->geometry().center() - form->geometry().center();
        EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
    }
    // Closing hides a box; the window releases every box when it goes.
    QPointer<main_window::TformAbout> first = boxesOpen[0], second = boxesOpen[1];
    first->close();
    EXPECT_FALSE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    form.reset();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
}

TEST_F(ShellTest, DoubleClicksOnTheStatusBarDockAndCloseTheDeveloperTools) {
    CreateShownForm();
    auto* tools = Child<browser::TChromiumDevTools>("DevTools");
    auto* splitter = Child<QWidget>("Splitter");
    QWebEnginePage* page = form->crm()->view()->page();
    for (int round = 0; round < 2; ++round) {
        QTest::mouseDClick(StatusBar(), Qt::LeftButton, {}, QPoint(50, 8));
        ASSERT_TRUE(WaitUntil([&] { return tools->isVisible() && splitter->isVisible(); }));
        ASSERT_NE(tools->firstChild(), nullptr);
        EXPECT_NE(page->devToolsPage(), nullptr);
        EXPECT_EQ(tools->y(), StatusBar()->geometry().bottom() + 1);
        EXPECT_EQ(splitter->geometry().bottom() + 1, StatusBar()->y());
        EXPECT_EQ(tools->height(), 200);

        QTest::mouseDClick(StatusBar(), Qt::LeftButton, {}, QPoint(50, 8));
        ASSERT_TRUE(WaitUntil([&] { return !tools->isVisible() && !splitter->isVisible(); }));
        EXPECT_EQ(tools->firstChild(), nullptr);
        EXPECT_EQ(page->devToolsPage(), nullptr);
    }
}

TEST_F(ShellTest, DraggingTheSplitterResizesTheDeveloperTools) {
    CreateShownForm();
    auto* tools = Child<browser::TChromiumDevTools>("DevTools");
    auto* splitter = Child<QWidget>("Splitter");
    QTest::mouseDClick(StatusBar(), Qt::LeftButton, {}, QPoint(50, 8));
    ASSERT_TRUE(WaitUntil([&] { return splitter->isVisible() && tools->height() == 200; }));
    const int pageHeight = form->crm()->height();
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(100, 1));
    QMouseEvent move(QEvent::MouseMove, QPointF(100, -49), splitter->mapToGlobal(QPointF(100, -49)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(splitter, &move);
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(100, -49));
    ASSERT_TRUE(WaitUntil([&] { return tools->height() == 250; })) << tools->height();
    EXPECT_TRUE(WaitUntil([&] { return form->crm()->height() == pageHeight - 50; }));
    // The page keeps a strip of its own however far the splitter goes.
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(100, 1));
    QMouseEvent far(QEvent::MouseMove, QPointF(100, -5000),
                    splitter->mapToGlobal(QPointF(100, -5000)), Qt::NoButton, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(splitter, &far);
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(100, 1));
    EXPECT_TRUE(WaitUntil([&] { return form->crm()->height() == 30; })) << form->crm()->height();
}

TEST(DevToolsToggle, WithoutABrowserOnlyThePanelAndSplitterChange) {
    QWidget window;
    browser::TChromium crm(&window);
    browser::TChromiumDevTools tools(&window);
    QWidget splitter(&window);
    QStatusBar statusBar(&window);
    tools.hide();
    splitter.hide();
    window.show();
    main_window::TDevToolsToggle toggle(crm, tools, splitter, statusBar, &window);
    toggle.StatusBarDblClick();
    EXPECT_TRUE(tools.isVisible());
    EXPECT_TRUE(splitter.isVisible());
    EXPECT_EQ(tools.firstChild(), nullptr);
    toggle.StatusBarDblClick();
    EXPECT_FALSE(tools.isVisible());
    EXPECT_FALSE(splitter.isVisible());
    EXPECT_EQ(crm.Browser(), nullptr);
}
