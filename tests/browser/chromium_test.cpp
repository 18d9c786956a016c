#include <QApplication>
#include <QWebEnginePage>

#include "browser/chromium_devtools.h"
#include "tests/browser/chromium_fixture.h"

using test_support::WaitUntil;

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
    view->OnLoadEnd = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame* frame, int status) {
        ++loadEnds;
        lastStatus = status;
        lastLoadedUrl = frame->GetUrl();
        events << "end" + frameName(frame);
    };
    view->OnTitleChange = [&](QObject*, browser::TCefBrowser*, const QString& title) {
        events << "title " + title;
    };
    view->OnAddressChange = [&](QObject* sender, browser::TCefBrowser* browser,
                                browser::TCefFrame* frame, const QString&) {
        EXPECT_EQ(sender, view.get());
        EXPECT_EQ(browser, view->Browser());
        EXPECT_TRUE(frame->IsMain());
    };
    EXPECT_EQ(view->Browser(), nullptr);
    view->Loaded();
    ASSERT_NE(view->Browser(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
    EXPECT_EQ(view->Browser()->GetMainFrame()->GetUrl(), "about:blank");
    EXPECT_FALSE(view->Browser()->CanGoBack());
    events.clear();
    const QString url = server->baseUrl() + "/page.html";
    LoadAndWait(url);
    ASSERT_TRUE(WaitUntil([&] { return events.contains("title First page"); }));
    EXPECT_TRUE(events.first().startsWith("start main"));
    EXPECT_EQ(lastStatus, 200);

    events.clear();
    const QString frameUrl = server->baseUrl() + "/frame.html";
    RunScript(
        "console.debug('quorvane-frame-00000000000000000000000000000000:start x');"
        "document.body.appendChild(document.createElement('iframe'));"
        "var f = document.createElement('iframe'); f.src = 'frame.html';"
        "document.body.appendChild(f);");
    ASSERT_TRUE(WaitUntil([&] { return events.contains("end sub " + frameUrl); }));
    EXPECT_EQ(events, QStringList({"start sub " + frameUrl, "end sub " + frameUrl}));
    events.clear();
    RunScript("frames[1].location.href = 'frame.html?2'");
    ASSERT_TRUE(WaitUntil([&] { return events.contains("end sub " + frameUrl + "?2"); }));
    EXPECT_EQ(events, QStringList({"start sub " + frameUrl, "end sub " + frameUrl + "?2"}));

    LoadAndWait(server->baseUrl() + "/missing.html");
    EXPECT_EQ(lastStatus, 404);
    const int endsBeforeBack = loadEnds;
    view->Browser()->GoBack();
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > endsBeforeBack && lastLoadedUrl == url; }));
    ASSERT_TRUE(WaitUntil([&] { return view->Browser()->CanGoForward(); }));
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
    LoadAndWait(local.Write("local.html", "<title>local</title>"));
    EXPECT_EQ(RunScript("typeof window.quorvane.sendProcessMessage").toString(), "function");
}

TEST_F(ChromiumTest, DestroyingTheViewDuringALoadDeliversNoFurtherEvent) {
    server->writeFile("big.html", QByteArray("<title>t</title>") + QByteArray(4 << 20, 'x'));
    int events = 0;
    view->OnLoadStart = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame*) { ++events; };
    view->OnTitleChange = [&](QObject*, browser::TCefBrowser*, const QString&) { ++events; };
    view->OnAddressChange = [&](QObject*, browser::TCefBrowser*, browser::TCefFrame*,
                                const QString&) { ++events; };
    view->Loaded();
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
    view->Load(server->baseUrl() + "/big.html");
    ASSERT_TRUE(WaitUntil([&] { return events > 0; }));
    auto* closing = view.release();
    delete closing;
    const int afterDestruction = events;
    const int loadEndsAfter = loadEnds;
    test_support::ServeEvents(1500);
    EXPECT_EQ(events, afterDestruction);
    EXPECT_EQ(loadEnds, loadEndsAfter);
}

// Also: giving the control focus gives the page focus.
TEST_F(ChromiumTest, DeveloperToolsDockAndCloseAndIgnoreAMissingBrowser) {
    browser::TChromiumDevTools devTools;
    devTools.resize(800, 200);
    devTools.show();
    devTools.ShowDevTools(nullptr);
    EXPECT_EQ(devTools.firstChild(), nullptr);
    devTools.CloseDevTools(nullptr);

    int gotFocus = 0;
    view->OnGotFocus = [&](QObject*, browser::TCefBrowser*) { ++gotFocus; };
    view->Loaded();
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
    view->activateWindow();
    view->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return gotFocus > 0; }));
    QWidget* focused = QApplication::focusWidget();
    EXPECT_TRUE(focused && (view->view()->isAncestorOf(focused) || focused == view->view()));

    devTools.ShowDevTools(view->Browser());
    ASSERT_NE(devTools.firstChild(), nullptr);
    EXPECT_NE(view->view()->page()->devToolsPage(), nullptr);
    auto* devView = qobject_cast<QWebEngineView*>(devTools.firstChild());
    ASSERT_TRUE(WaitUntil([&] { return devView->url().scheme() == "devtools"; }));
    devTools.CloseDevTools(view->Browser());
    EXPECT_EQ(devTools.firstChild(), nullptr);
    EXPECT_EQ(view->view()->page()->devToolsPage(), nullptr);
}
