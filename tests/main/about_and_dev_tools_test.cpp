// The About box and the developer tools docked below the page.
#include <QLabel>
#include <QPointer>
#include <QWebEnginePage>

#include "browser/chromium_devtools.h"
#include "main/about_form.h"
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
        EXPECT_EQ(about->minimumSize(), about->maximumSize());
        EXPECT_EQ(about->findChild<QLabel*>("Label1")->text(),
                  "版本：Quorvane客户端（版本：2.0.0.5   日期：2016-12-15）");
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

// Docked below the status bar, 200 pixels high; the splitter above the status
// bar resizes the tools, and the page keeps a strip of its own however far it
// goes.
TEST_F(ShellTest, DoubleClicksOnTheStatusBarDockAndCloseTheDeveloperTools) {
    CreateShownForm();
    auto* tools = Child<browser::TChromiumDevTools>("DevTools");
    auto* splitter = Child<QWidget>("Splitter");
    QWebEnginePage* page = form->crm()->view()->page();
    const auto drag = [&](int toY, int releaseY) {
        QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(100, 1));
        QMouseEvent move(QEvent::MouseMove, QPointF(100, toY),
                         splitter->mapToGlobal(QPointF(100, toY)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(splitter, &move);
        QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(100, releaseY));
    };
    for (int round = 0; round < 2; ++round) {
        QTest::mouseDClick(StatusBar(), Qt::LeftButton, {}, QPoint(50, 8));
        ASSERT_TRUE(WaitUntil([&] { return tools->isVisible() && splitter->isVisible(); }));
        ASSERT_NE(tools->firstChild(), nullptr);
        EXPECT_NE(page->devToolsPage(), nullptr);
        EXPECT_EQ(tools->y(), StatusBar()->geometry().bottom() + 1);
        EXPECT_EQ(splitter->geometry().bottom() + 1, StatusBar()->y());
        ASSERT_TRUE(WaitUntil([&] { return tools->height() == 200; })) << tools->height();
        if (round == 1) {
            const int pageHeight = form->crm()->height();
            drag(-49, -49);
            ASSERT_TRUE(WaitUntil([&] { return tools->height() == 250; })) << tools->height();
            EXPECT_TRUE(WaitUntil([&] { return form->crm()->height() == pageHeight - 50; }));
            drag(-5000, 1);
            EXPECT_TRUE(WaitUntil([&] { return form->crm()->height() == 30; }))
                << form->crm()->height();
        }
        QTest::mouseDClick(StatusBar(), Qt::LeftButton, {}, QPoint(50, 8));
        ASSERT_TRUE(WaitUntil([&] { return !tools->isVisible() && !splitter->isVisible(); }));
        EXPECT_EQ(tools->firstChild(), nullptr);
        EXPECT_EQ(page->devToolsPage(), nullptr);
    }
}
