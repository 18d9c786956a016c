// The events through which the main window sets its policies: pop-ups,
// resource requests, certificate errors, context menus and downloads.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

TEST_F(ChromiumTest, PopupsRaiseBeforePopupAndOpenAWindowOnlyWhenNotTaken) {
    server->writeFile("opener.html",
                      "<a id='blank' href='/popup.html' target='_blank'>x</a>"
                      "<a id='other' href='/other.html' target='_blank'>y</a>");
    server->writeFile("popup.html", "<title>popup</title>");
    server->writeFile("other.html", "<title>other</title>");
    QStringList targets;
    bool takePopup = true;
    view->OnBeforePopup = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame*,
                              const QString& url, const QString&, browser::TCefPopupFeatures&,
                              browser::TCefWindowInfo&, browser::TCefClient&,
                              browser::TChromiumOptions&, bool&, bool& result) {
        EXPECT_FALSE(result);
        targets << url;
        result = takePopup;
    };
    view->Loaded();
    LoadAndWait(server->baseUrl() + "/opener.html");
    const int windowsBefore = TopLevelWebViews();
    RunScript("document.getElementById('blank').click()");
    ASSERT_TRUE(WaitUntil([&] { return targets.size() == 1; }));
    EXPECT_EQ(targets.first(), server->baseUrl() + "/popup.html");
    test_support::ServeEvents(300);
    EXPECT_EQ(TopLevelWebViews(), windowsBefore);

    takePopup = false;
    RunScript("window.open('/other.html')");
    ASSERT_TRUE(WaitUntil([&] { return targets.size() == 2; }));
    ASSERT_TRUE(WaitUntil([&] { return TopLevelWebViews() == windowsBefore + 1; }));
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QWebEngineView*>(widget))
            widget->close();
}

TEST_F(ChromiumTest, ResourceRequestsCanBeRedirectedOrCancelled) {
    server->writeFile("page.html",
                      "<img id='i' src='/wanted.png'><script src='/blocked.js'></script>");
    server->writeFile("replaced.png",
                      QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQ"
                                             "VR4nGNgYPj/HwADAgH/YZ6PFQAAAABJRU5ErkJggg=="));
    server->writeFile("blocked.js", "window.blockedRan = true;");
    QStringList seen;
    view->OnBeforeResourceLoad = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame*,
                                     browser::TCefRequest& request, bool& result) {
        seen << request.GetUrl();
        if (request.GetUrl().endsWith("/wanted.png"))
            request.SetUrl(server->baseUrl() + "/replaced.png");
        if (request.GetUrl().endsWith("/blocked.js"))
            result = true;
    };
    view->Loaded();
    LoadAndWait(server->baseUrl() + "/page.html");
    EXPECT_TRUE(seen.contains(server->baseUrl() + "/page.html"));
    ASSERT_TRUE(WaitUntil(
        [&] { return RunScript("document.getElementById('i').naturalWidth").toInt() == 1; }));
    EXPECT_FALSE(RunScript("window.blockedRan === true").toBool());
    QFile log(server->prefix() + "/logs/access.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray requests = log.readAll();
    EXPECT_TRUE(requests.contains("GET /replaced.png"));
    EXPECT_FALSE(requests.contains("GET /wanted.png"));
    EXPECT_FALSE(requests.contains("GET /blocked.js"));
}

TEST(ChromiumCertificates, SelfSignedCertificateIsRefusedUnlessTheHandlerAllowsIt) {
    test_support::NginxServer tls(test_support::NginxServer::Options{QString(), true});
    tls.writeFile("secure.html", "<title>secure</title>");
    browser::TChromium view;
    int loadEnds = 0;
    QString title;
    view.OnLoadEnd = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame*, int) { ++loadEnds; };
    view.OnTitleChange = [&](QObject*, browser::TCefBrowser*, const QString& t) { title = t; };
    int errors = 0;
    bool allow = false;
    view.OnCertificateError = [&](QObject*, int, const QString& url,
                                  browser::TCefAllowCertificateErrorCallback& callback,
                                  bool& result) {
        ++errors;
        EXPECT_TRUE(url.startsWith(tls.baseUrl()));
        if (!allow)
            return;
        callback.Continue(true);
        result = true;
    };
    view.show();
    view.Load(tls.baseUrl() + "/secure.html");
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0 && errors > 0; }));
    test_support::ServeEvents(300);
    EXPECT_NE(title, "secure");

    allow = true;
    view.Load(tls.baseUrl() + "/secure.html?again");
    ASSERT_TRUE(WaitUntil([&] { return title == "secure"; }));
}

TEST_F(ChromiumTest, AnEmptiedContextMenuIsNotShown) {
    server->writeFile("page.html", "<body style='height:500px'>text to click</body>");
    int menus = 0;
    bool clear = true;
    view->OnBeforeContextMenu = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame*,
                                    browser::TCefContextMenuParams&,
                                    browser::TCefMenuModel& model) {
        ++menus;
        EXPECT_GT(model.GetCount(), 0);
        if (clear)
            model.Clear();
    };
    view->Loaded();
    LoadAndWait(server->baseUrl() + "/page.html");
    ASSERT_TRUE(WaitUntil(
        [&] {
            QTest::mouseClick(PageWidget(), Qt::RightButton, {}, QPoint(100, 100));
            return menus > 0;
        },
        10000));
    test_support::ServeEvents(200);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    clear = false;
    QTest::mouseClick(PageWidget(), Qt::RightButton, {}, QPoint(120, 120));
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activePopupWidget() != nullptr; }));
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
