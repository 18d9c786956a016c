// The About box and the developer tools docked below the page.
#include <QLabel>
#include <QWebEnginePage>

#include "browser/chromium_devtools.h"
#include "main/about_form.h"
#include "tests/main/shell_fixture.h"

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
        EXPECT_EQ(about->findChild<QLabel*>("Label1")->text(),
                  "版本：Quorvane客户端（版本：2.0.0.5   日期：2016-12-15）");
    }
}

// Docked below the status bar, 200 pixels high; the splitter above the status
// bar resizes the tools, and the page keeps a strip of its own however far it
// goes. A second double click closes them.
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
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(100, 1));
    QMouseEvent move(QEvent::MouseMove, QPointF(100, -5000),
                     splitter->mapToGlobal(QPointF(100, -5000)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(splitter, &move);
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(100, 1));
    EXPECT_TRUE(WaitUntil([&] { return form->crm()->height() == 30; })) << form->crm()->height();
    EXPECT_GT(tools->height(), 250);
    QTest::mouseDClick(StatusBar(), Qt::LeftButton, {}, QPoint(50, 8));
    ASSERT_TRUE(WaitUntil([&] { return !tools->isVisible() && !splitter->isVisible(); }));
    EXPECT_EQ(page->devToolsPage(), nullptr);
}
