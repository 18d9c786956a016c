#pragma once

#include <gtest/gtest.h>

#include <QWebEngineView>
#include <memory>

#include "browser/chromium.h"
#include "tests/support/local_pages.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"

// A shown view with a real engine browser and a real page server.
class ChromiumTest : public testing::Test {
  protected:
    void SetUp() override {
        server = std::make_unique<test_support::NginxServer>();
        view = std::make_unique<browser::TChromium>();
        view->resize(800, 600);
        view->OnLoadEnd = [this](QObject*, browser::TCefBrowser*, browser::TCefFrame* frame,
                                 int status) {
            ++loadEnds;
            lastStatus = status;
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
    int lastStatus = -1;
    QString lastLoadedUrl;
};
