// The events through which the main window sets its policies: pop-ups,
// resource requests, certificate errors, context menus and downloads.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

#include "tests/browser/chromium_fixture.h"

using test_support::WaitUntil;

namespace {
int TopLevelWebViews() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QWebEngineView*>(widget) && widget->isVisible())
            ++count;
    return count;
}
}  // namespace

// A pop-up the handler does not take opens a window of its own (one the
// handler takes is the main window's test).
TEST_F(ChromiumTest, PopupsRaiseBeforePopupAndOpenAWindowWhenNotTaken) {
    server->writeFile("opener.html", "<title>opener</title>");
    server->writeFile("other.html", "<title>other</title>");
    QStringList targets;
    view->OnBeforePopup = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame*,
                              const QString& url, const QString&, browser::TCefPopupFeatures&,
                              browser::TCefWindowInfo&, browser::TCefClient&,
                              browser::TChromiumOptions&, bool&, bool& result) {
        EXPECT_FALSE(result);
        targets << url;
    };
    view->Loaded();
    LoadAndWait(server->baseUrl() + "/opener.html");
    const int windowsBefore = TopLevelWebViews();
    RunScript("window.open('/other.html')");
    ASSERT_TRUE(WaitUntil([&] { return TopLevelWebViews() == windowsBefore + 1; }));
    EXPECT_EQ(targets, QStringList{server->baseUrl() + "/other.html"});
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QWebEngineView*>(widget))
            widget->close();
}

// A cancelled request is not sent (redirects are the main window's test).
TEST_F(ChromiumTest, ResourceRequestsCanBeCancelled) {
    server->writeFile("page.html", "<script src='/blocked.js'></script>");
    server->writeFile("blocked.js", "window.blockedRan = true;");
    QStringList seen;
    view->OnBeforeResourceLoad = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame*,
                                     browser::TCefRequest& request, bool& result) {
        seen << request.GetUrl();
        result = request.GetUrl().endsWith("/blocked.js");
    };
    view->Loaded();
    LoadAndWait(server->baseUrl() + "/page.html");
    EXPECT_TRUE(seen.contains(server->baseUrl() + "/page.html"));
    EXPECT_TRUE(seen.contains(server->baseUrl() + "/blocked.js"));
    EXPECT_FALSE(RunScript("window.blockedRan === true").toBool());
    QFile log(server->prefix() + "/logs/access.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_FALSE(log.readAll().contains("GET /blocked.js"));
}

TEST_F(ChromiumTest, SelfSignedCertificateIsRefusedUnlessTheHandlerAllowsIt) {
    test_support::NginxServer tls(test_support::NginxServer::Options{QString(), true});
    tls.writeFile("secure.html", "<title>secure</title>");
    QString title;
    view->OnTitleChange = [&](QObject*, browser::TCefBrowser*, const QString& t) { title = t; };
    int errors = 0;
    view->OnCertificateError = [&](QObject*, int, const QString& url,
                                   browser::TCefAllowCertificateErrorCallback&, bool& result) {
        ++errors;
        EXPECT_TRUE(url.startsWith(tls.baseUrl()));
        EXPECT_FALSE(result);
    };
    view->Load(tls.baseUrl() + "/secure.html");
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0 && errors > 0; }));
    test_support::ServeEvents(300);
    EXPECT_NE(title, "secure");
    // Allowing is the main window's test.
}

// The handler sees the engine's menu, which then shows (a menu the handler
// empties is not shown: the main window's test).
TEST_F(ChromiumTest, TheContextMenuPassesThroughTheHandler) {
    server->writeFile("page.html", "<body style='height:500px'>text to click</body>");
    int menus = 0;
    view->OnBeforeContextMenu = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame*,
                                    browser::TCefContextMenuParams&,
                                    browser::TCefMenuModel& model) {
        ++menus;
        EXPECT_GT(model.GetCount(), 0);
    };
    view->Loaded();
    LoadAndWait(server->baseUrl() + "/page.html");
    ASSERT_TRUE(WaitUntil(
        [&] {
            QTest::mouseClick(view->view()->focusProxy(), Qt::RightButton, {}, QPoint(100, 100));
            return QApplication::activePopupWidget() != nullptr;
        },
        10000));
    EXPECT_GT(menus, 0);
    QApplication::activePopupWidget()->close();
}

TEST_F(ChromiumTest, DownloadsGoWhereTheHandlerSaysAndReportProgress) {
    QByteArray content(3 << 20, 'd');
    server->writeFile("file.bin", content);
    QTemporaryDir folder;
    QString suggested;
    view->OnBeforeDownload = [&](QObject*, browser::TCefBrowser*, browser::TCefDownloadItem&,
                                 const QString& name,
                                 browser::TCefBeforeDownloadCallback& callback) {
        suggested = name;
        callback.Continue(folder.filePath(name), false);
    };
    QList<int> percents;
    bool finished = false;
    view->OnDownloadUpdated = [&](QObject*, browser::TCefBrowser*, browser::TCefDownloadItem& item,
                                  browser::TCefDownloadItemCallback&) {
        if (item.IsInProgress())
            percents << item.GetPercentComplete();
        if (item.IsComplete())
            finished = true;
    };
    view->Loaded();
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
    view->view()->page()->download(QUrl(server->baseUrl() + "/file.bin"));
    ASSERT_TRUE(WaitUntil([&] { return finished; }));
    EXPECT_EQ(suggested, "file.bin");
    ASSERT_FALSE(percents.isEmpty());
    QFile saved(folder.filePath("file.bin"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), content);
}
