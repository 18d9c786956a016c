#pragma once

#include <QAction>
#include <QMenu>
#include <QVariant>
#include <QWindow>

#include "main/browser_policies.h"
#include "main/favorites_file.h"
#include "main/favorites_menu.h"
#include "tests/main/main_form_fixture.h"

// The main window with its favorites file, home page file, menu and policies
// at hand. Neither file is left behind by a test.
class ShellTest : public MainFormTest {
  protected:
    void SetUp() override {
        MainFormTest::SetUp();
        RemoveFavorites();
    }

    void TearDown() override {
        MainFormTest::TearDown();
        RemoveFavorites();
    }

    static QString FavoritesFile() { return main_window::FavoritesFilePath(); }

    static void RemoveFavorites() {
        QFile::remove(FavoritesFile());
        QDir(FavoritesFile()).removeRecursively();
    }

    static void WriteFavorites(const QByteArray& bytes) {
        QFile file(FavoritesFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray FileBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // Creates the window and waits until its first page is shown.
    void CreateShownForm() {
        CreateForm();
        ASSERT_TRUE(WaitForUrl("about:blank"));
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

    QVariant RunScript(const QString& script) {
        QVariant result;
        bool done = false;
        form->crm()->view()->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        EXPECT_TRUE(test_support::WaitUntil([&] { return done; }));
        return result;
    }

    // The widget that receives the page's input events.
    QWidget* PageWidget() const {
        QWidget* proxy = form->crm()->view()->focusProxy();
        return proxy ? proxy : form->crm()->view();
    }

    main_window::TBrowserPolicies* Policies() const {
        return form->findChild<main_window::TBrowserPolicies*>();
    }
    main_window::TFavoritesMenu* Favorites() const {
        return form->findChild<main_window::TFavoritesMenu*>();
    }
    QMenu* Menu() const { return form->findChild<QMenu*>("PopmenuSCJ"); }

    // A click on the star with the pointer on it; the menu is left open.
    void ClickStar() {
        auto* star = Child("ImageFavorite");
        QCursor::setPos(star->mapToGlobal(QPoint(13, 13)));
        QTest::mouseClick(star, Qt::LeftButton, {}, QPoint(13, 13));
    }

    void Trigger(const char* itemName) {
        auto* item = form->findChild<QAction*>(QString::fromLatin1(itemName));
        ASSERT_NE(item, nullptr) << itemName;
        item->trigger();
    }

    QStatusBar* StatusBar() const { return Child<QStatusBar>("StatusBar"); }
};
