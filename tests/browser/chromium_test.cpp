#include <gtest/gtest.h>

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <memory>

#include "browser/browser_settings.h"
#include "browser/chromium.h"
#include "browser/chromium_devtools.h"
#include "tests/support/local_pages.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"

using test_support::WaitUntil;

// A shown view with a real engine browser and a real page server.
class ChromiumTest : public testing::Test {
  protected:
    void SetUp() override {
        server = std::make_unique<test_support::NginxServer>();
        view = std::make_unique<browser::TChromium>();
        view->resize(800, 600);
        view->OnLoadEnd = [this](QObject*, browser::TCefBrowser*, browser::TCefFrame* frame, int) {
            ++loadEnds;
            lastLoadedUrl = frame->GetUrl();
        };
        view->show();
    }

    // Loads `url` and waits for the load end of that address; the end of a
    // load still running (a back navigation, say) does not count.
    void LoadAndWait(const QString& url) {
        const int before = loadEnds;
        view->Load(url);
        ASSERT_TRUE(
            test_support::WaitUntil([&] { return loadEnds > before && lastLoadedUrl == url; }));
    }

    QVariant RunScript(const QString& script) {
        return test_support::RunScript(*view->view()->page(), script);
    }

    std::unique_ptr<test_support::NginxServer> server;
    std::unique_ptr<browser::TChromium> view;
    int loadEnds = 0;
    QString lastLoadedUrl;
};

// The browser exists once the view is loaded, and asks for the blank page at
// once. Sub-frames report their loads after the page's own, and a page cannot
// forge such a report.
TEST_F(ChromiumTest, LoadEventsFollowThePageAndItsSubFrames) {
    server->writeFile("page.html", "<title>First page</title><body>x</body>");
    server->writeFile("frame.html", "<title>In frame</title>");
    QStringList events;
    auto frameName = [](browser::TCefFrame* frame) {
        return (frame->IsMain() ? " main " : " sub ") + frame->GetUrl();
    };
    view->OnLoadStart = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame* frame) {
        events << "start" + frameName(frame);
    };
    view->OnLoadEnd = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame* frame, int) {
        ++loadEnds;
        lastLoadedUrl = frame->GetUrl();
        events << "end" + frameName(frame);
    };
    view->OnTitleChange = [&](QObject*, browser::TCefBrowser*, const QString& title) {
        events << "title " + title;
    };
    EXPECT_EQ(view->Browser(), nullptr);
    view->Loaded();
    ASSERT_NE(view->Browser(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
    EXPECT_EQ(view->Browser()->GetMainFrame()->GetUrl(), "about:blank");
    events.clear();
    LoadAndWait(server->baseUrl() + "/page.html");
    ASSERT_TRUE(WaitUntil([&] { return events.contains("title First page"); }));
    EXPECT_TRUE(events.first().startsWith("start main"));

    events.clear();
    const QString frameUrl = server->baseUrl() + "/frame.html";
    RunScript(
        "console.debug('quorvane-frame-00000000000000000000000000000000:start x');"
        "document.body.appendChild(document.createElement('iframe'));"
        "var f = document.createElement('iframe'); f.src = 'frame.html';"
        "document.body.appendChild(f);");
    ASSERT_TRUE(WaitUntil([&] { return events.contains("end sub " + frameUrl); }));
    EXPECT_EQ(events, QStringList({"start sub " + frameUrl, "end sub " + frameUrl}));
}

// Only a page of the program's own has the call that sends messages to the
// program, and the channel behind it.
TEST_F(ChromiumTest, OnlyLocalPagesCanSendMessagesToTheProgram) {
    server->writeFile("remote.html", "<title>remote</title>");
    const test_support::LocalPages local;
    view->Loaded();
    LoadAndWait(server->baseUrl() + "/remote.html");
    EXPECT_EQ(RunScript("typeof window.quorvane + ' ' + typeof qt").toString(),
              "undefined undefined");
    LoadAndWait(
        local.Write("local.html", "<script>document.title = typeof window.quorvane</script>"));
    EXPECT_EQ(
        RunScript("document.title + ' ' + typeof window.quorvane.sendProcessMessage").toString(),
        "object function")
        << "the call is there while the page's own scripts run";
}

TEST_F(ChromiumTest, DestroyingTheViewDuringALoadDeliversNoFurtherEvent) {
    server->writeFile("big.html", QByteArray("<title>t</title>") + QByteArray(4 << 20, 'x'));
    int events = 0;
    view->OnLoadStart = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame*) { ++events; };
    view->OnTitleChange = [&](QObject*, browser::TCefBrowser*, const QString&) { ++events; };
    view->Loaded();
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
    view->Load(server->baseUrl() + "/big.html");
    ASSERT_TRUE(WaitUntil([&] { return events > 0; }));
    view.reset();
    const int eventsBefore = events + loadEnds;
    test_support::ServeEvents(1500);
    EXPECT_EQ(events + loadEnds, eventsBefore);
}

// Developer tools ignore a missing browser (docking them is the main window's
// test); giving the control focus gives the page focus.
TEST_F(ChromiumTest, DeveloperToolsIgnoreAMissingBrowserAndFocusReachesThePage) {
    browser::TChromiumDevTools devTools;
    devTools.resize(800, 200);
    devTools.show();
    devTools.ShowDevTools(nullptr);
    EXPECT_EQ(devTools.firstChild(), nullptr);
    devTools.CloseDevTools(nullptr);

    view->Loaded();
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
    view->activateWindow();
    view->setFocus();
    EXPECT_TRUE(WaitUntil([&] {
        QWidget* focused = QApplication::focusWidget();
        return focused && (view->view()->isAncestorOf(focused) || focused == view->view());
    }));
}

// The main window's settings reach the page; what it leaves alone keeps the
// engine's defaults.
TEST(BrowserSettings, TheMainWindowsSettingsReachThePage) {
    QWebEngineProfile profile;
    QWebEnginePage page(&profile);
    QWebEngineSettings& s = *page.settings();
    const bool javascriptDefault = s.testAttribute(QWebEngineSettings::JavascriptEnabled);

    browser::TChromiumOptions options;
    browser::TChromiumFontOptions fonts;
    options.ApplicationCache = browser::STATE_DISABLED;  // the main window's only change
    browser::ApplyBrowserSettings(page, options, fonts, "GBK");
    EXPECT_EQ(s.defaultTextEncoding(), "GBK");
    EXPECT_EQ(s.testAttribute(QWebEngineSettings::JavascriptEnabled), javascriptDefault);
    // The engine's own default keeps plug-ins (the PDF viewer) on.
    EXPECT_TRUE(s.testAttribute(QWebEngineSettings::PluginsEnabled));

    // An empty encoding keeps the one set.
    browser::ApplyBrowserSettings(page, options, fonts, QString());
    EXPECT_EQ(s.defaultTextEncoding(), "GBK");
}
