#include <QApplication>
#include <QWebEnginePage>

#include "browser/chromium_devtools.h"
#include "tests/browser/chromium_fixture.h"
#include "tests/support/local_pages.h"

using test_support::WaitUntil;

TEST_F(ChromiumTest, BrowserExistsOnlyAfterLoadedAndBlankPageIsRequestedAtOnce) {
    EXPECT_EQ(view->Browser(), nullptr);
    QStringList addresses;
    view->OnAddressChange = [&](QObject* sender, browser::TCefBrowser* browser,
                                browser::TCefFrame* frame, const QString& url) {
        EXPECT_EQ(sender, view.get());
        EXPECT_EQ(browser, view->Browser());
        EXPECT_TRUE(frame->IsMain());
        addresses << url;
    };
    view->Loaded();
    ASSERT_NE(view->Browser(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
    EXPECT_EQ(view->Browser()->GetMainFrame()->GetUrl(), "about:blank");
    EXPECT_FALSE(view->Browser()->CanGoBack());
}

// Sub-frames report their loads after the page's own, and a page cannot
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
    view->Loaded();
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
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

TEST_F(ChromiumTest, HoveredLinkBecomesStatusAndPageMessagesReachTheProgram) {
    const QString link = server->baseUrl() + "/target.html";
    const QByteArray page = "<body style='margin:0'><a id='a' href='" + link.toUtf8() +
                            "' style='display:block;width:300px;height:300px'>link</a></body>";
    server->writeFile("links.html", page);
    const test_support::LocalPages local;
    const QString localPage = local.Write("links.html", page);
    QStringList statuses;
    view->OnStatusMessage = [&](QObject*, browser::TCefBrowser*, const QString& value) {
        statuses << value;
    };
    QStringList messages;
    view->OnProcessMessageReceived = [&](QObject*, browser::TCefBrowser*,
                                         browser::TCefProcessId source,
                                         const browser::TCefProcessMessage& message, bool& result) {
        EXPECT_FALSE(result);
        EXPECT_EQ(source, browser::PID_RENDERER);
        messages << message.GetName() + ":" + message.GetString(0) + ":" + message.GetString(5);
        result = true;
    };
    view->Loaded();
    // A remote page has neither the call nor the channel behind it.
    LoadAndWait(server->baseUrl() + "/links.html");
    EXPECT_EQ(RunScript("typeof window.quorvane + ' ' + typeof qt").toString(),
              "undefined undefined");
    // A page of the program's own sends.
    LoadAndWait(localPage);
    RunScript("window.quorvane.sendProcessMessage('mouseover', ['over the link', 2])");
    ASSERT_TRUE(WaitUntil([&] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages.first(), "mouseover:over the link:");

    ASSERT_TRUE(WaitUntil([&] {
        QTest::mouseMove(PageWidget(), QPoint(40 + statuses.size() % 7, 50));
        return statuses.contains(link);
    }));
    ASSERT_TRUE(WaitUntil([&] {
        QTest::mouseMove(PageWidget(), QPoint(500, 450));
        return statuses.last().isEmpty();
    }));
}

TEST_F(ChromiumTest, GivingTheControlFocusGivesThePageFocus) {
    int gotFocus = 0;
    view->OnGotFocus = [&](QObject*, browser::TCefBrowser*) { ++gotFocus; };
    view->Loaded();
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
    view->activateWindow();
    view->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return gotFocus > 0; }));
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    EXPECT_TRUE(view->view()->isAncestorOf(focused) || focused == view->view());
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

TEST_F(ChromiumTest, DeveloperToolsDockAndCloseAndIgnoreAMissingBrowser) {
    browser::TChromiumDevTools devTools;
    devTools.resize(800, 200);
    devTools.show();
    devTools.ShowDevTools(nullptr);
    EXPECT_EQ(devTools.firstChild(), nullptr);
    devTools.CloseDevTools(nullptr);

    view->Loaded();
    ASSERT_TRUE(WaitUntil([&] { return loadEnds > 0; }));
    devTools.ShowDevTools(view->Browser());
    ASSERT_NE(devTools.firstChild(), nullptr);
    EXPECT_NE(view->view()->page()->devToolsPage(), nullptr);
    auto* devView = qobject_cast<QWebEngineView*>(devTools.firstChild());
    ASSERT_TRUE(WaitUntil([&] { return devView->url().scheme() == "devtools"; }));
    devTools.CloseDevTools(view->Browser());
    EXPECT_EQ(devTools.firstChild(), nullptr);
    EXPECT_EQ(view->view()->page()->devToolsPage(), nullptr);
}
