#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <QWindow>
#include <memory>

#include "common/executable_folder.h"
#include "main/favorites_file.h"
#include "main/main_form.h"
#include "main/picture_control.h"
#include "tests/support/file_contents.h"
#include "tests/support/local_pages.h"
#include "tests/support/modal_box_watcher.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"

using test_support::WaitUntil;
using test_support::WriteFile;

// The shown windows (menus aside) with that name, or with any name.
inline QWidgetList ShownWindows(const QString& name = QString()) {
    QWidgetList shown;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && !qobject_cast<QMenu*>(widget) &&
            (name.isEmpty() || widget->objectName() == name))
            shown << widget;
    return shown;
}

// The download's save dialog while it shows.
inline QFileDialog* SaveDialog() {
    return qobject_cast<QFileDialog*>(ShownWindows("SaveDownloadDialog").value(0));
}

// The hidden files that downloads are received in.
inline QStringList ReceivingFiles() {
    return QDir(common::ExecutableFolder())
        .entryList({".quorvane-download-*"}, QDir::Files | QDir::Hidden);
}

// The real main window with a real engine, started from a current folder that
// holds the tool bar's pictures, with a page server. Neither the favorites
// file nor the home page file is left behind by a test.
class ShellTest : public testing::Test {
  protected:
    void SetUp() override {
        QDir source(qEnvironmentVariable("QUORVANE_SOURCE_DIR") + "/ico");
        ASSERT_TRUE(QDir().mkpath("ico"));
        for (const QString& name : source.entryList(QDir::Files))
            QFile::copy(source.filePath(name), "ico/" + name);
        RemoveFiles();
        server = std::make_unique<test_support::NginxServer>();
    }

    void TearDown() override {
        form.reset();
        EXPECT_EQ(boxes.texts, expectedBoxes) << "message boxes shown";
        RemoveFiles();
    }

    static QString FavoritesFile() { return main_window::FavoritesFilePath(); }
    static QString HomePageFile() { return common::ExecutableFolder() + "主页.txt"; }

    static void RemoveFiles() {
        for (const QString& path : {FavoritesFile(), HomePageFile()}) {
            QFile::remove(path);
            QDir(path).removeRecursively();
        }
    }

    static QByteArray FileBytes(const QString& path) {
        return test_support::ReadFile(path, "<unreadable>");
    }

    void CreateForm() {
        form = std::make_unique<main_window::TMainForm>();
        form->resize(1024, 512);
        form->show();
        ASSERT_TRUE(test_support::WaitUntil([&] { return form->crm()->Browser() != nullptr; }));
    }

    // Creates the window and waits until its first page is shown.
    void CreateShownForm() {
        CreateForm();
        ASSERT_TRUE(WaitForUrl("about:blank"));
    }

    template <typename T = main_window::TImage>
    T* Child(const char* name) const {
        return form->findChild<T*>(QString::fromLatin1(name));
    }

    QString PageUrl() const { return form->crm()->Browser()->GetMainFrame()->GetUrl(); }

    bool WaitForUrl(const QString& url) {
        return test_support::WaitUntil([&] { return PageUrl() == url && !form->FLoading; });
    }

    // Loads a page of the server and waits until its title is the caption.
    void Open(const QString& path, const QString& title) {
        form->crm()->Load(server->baseUrl() + path);
        ASSERT_TRUE(WaitForUrl(server->baseUrl() + path)) << PageUrl().toStdString();
        // The caption as the window shows it (a form never shown has no window).
        ASSERT_TRUE(test_support::WaitUntil([&] {
            const QWindow* window = form->windowHandle();
            return (window ? window->title() : form->windowTitle()) == title;
        }));
    }

    // Shows the window with a page of the server titled `title`; gives its address.
    QString ShowTitledPage(const QString& title) {
        server->writeFile("page.html",
                          "<meta charset='utf-8'><title>" + title.toUtf8() + "</title>");
        CreateShownForm();
        Open("/page.html", title);
        return server->baseUrl() + "/page.html";
    }

    QVariant RunScript(const QString& script) {
        return test_support::RunScript(*form->crm()->view()->page(), script);
    }

    // A mouse movement delivered to the widget itself, independent of where the
    // display's real pointer happens to be.
    static void MoveMouse(QWidget* widget, QPoint position) {
        QMouseEvent move(QEvent::MouseMove, QPointF(position),
                         QPointF(widget->mapToGlobal(position)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }

    // Whether the control shows the picture of that file.
    static bool Shows(main_window::TImage* image, const char* file) {
        main_window::TImage reference;
        reference.LoadFromFile(QString::fromLatin1(file));
        return image->Picture() == reference.Picture();
    }

    QMenu* Menu() const { return Child<QMenu>("PopmenuSCJ"); }
    QStatusBar* StatusBar() const { return Child<QStatusBar>("StatusBar"); }

    // A click on the star with the pointer on it; the menu is left open.
    void ClickStar() {
        auto* star = Child("ImageFavorite");
        QCursor::setPos(star->mapToGlobal(QPoint(13, 13)));
        QTest::mouseClick(star, Qt::LeftButton, {}, QPoint(13, 13));
    }

    void Trigger(const char* itemName) {
        auto* item = Child<QAction>(itemName);
        ASSERT_NE(item, nullptr) << itemName;
        item->trigger();
    }

    // Answers every box so that nothing waits for a user; a test lists the
    // boxes it expects.
    test_support::ModalBoxWatcher boxes;
    QStringList expectedBoxes;
    test_support::CurrentFolder pictureFolder;
    std::unique_ptr<test_support::NginxServer> server;
    std::unique_ptr<main_window::TMainForm> form;
};
