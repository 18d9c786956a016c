#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "tests/support/fake_desktop.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"
#include "upgrader/utils/open_url.h"

using namespace upgrader;

namespace {

// A desktop of its own with a fake web browser and a fake editor, both
// programs that record their arguments.
class FakeDesktop : public testing::Test {
  protected:
    void SetUp() override {
        desktop_ = std::make_unique<test_support::FakeDesktop>();
        browser_ = desktop_->WriteRecordingProgram("bin/fake-browser");
        editor_ = desktop_->WriteRecordingProgram("bin/editor");
        desktop_->WriteEntry("fakebrowser.desktop", browser_ + " --new-window %u");
        desktop_->WriteEntry("fakeeditor.desktop", editor_ + " %f");
        desktop_->WriteEntry("gone.desktop", "/nonexistent/browser %u");
    }

    void TearDown() override { desktop_.reset(); }

    void SetDefaults(const QString& lines) { desktop_->SetDefaults(lines); }
    QString Arguments() const { return desktop_->RecordedArguments(); }

    QString browser_;
    QString editor_;

  private:
    std::unique_ptr<test_support::FakeDesktop> desktop_;
};

}  // namespace

TEST_F(FakeDesktop, TheDefaultWebBrowserComesFirst) {
    SetDefaults("text/html=fakeeditor.desktop\nx-scheme-handler/http=fakebrowser.desktop\n");
    EXPECT_EQ(GetAssociatedProgram(".html"), browser_);
    EXPECT_EQ(GetAssociatedProgram(".htm"), browser_);
    EXPECT_EQ(GetAssociatedProgram(".HTML"), browser_);
    EXPECT_EQ(GetAssociatedProgram(""), "");
    EXPECT_EQ(GetAssociatedProgram("."), "");
    EXPECT_EQ(GetAssociatedProgram(".no-such-extension"), "");
}

TEST_F(FakeDesktop, FallsBackToThePageTypeAndSkipsMissingPrograms) {
    SetDefaults("text/html=fakeeditor.desktop\n");
    EXPECT_EQ(GetAssociatedProgram(".html"), editor_);
    SetDefaults("text/html=fakeeditor.desktop\nx-scheme-handler/http=gone.desktop\n");
    EXPECT_EQ(GetAssociatedProgram(".html"), editor_);
    SetDefaults("x-scheme-handler/http=gone.desktop\n");
    EXPECT_EQ(GetAssociatedProgram(".html"), "");
    SetDefaults("x-scheme-handler/http=unknown.desktop\n");
    EXPECT_EQ(GetAssociatedProgram(".html"), "");
}

TEST_F(FakeDesktop, OpenURLHandsTheAddressToTheBrowser) {
    SetDefaults("x-scheme-handler/http=fakebrowser.desktop\n");
    OpenURL("update.example.invalid/notes page.html?a=1&b=2", true);
    ASSERT_TRUE(test_support::WaitUntil([&] { return !Arguments().isEmpty(); }));
    EXPECT_EQ(Arguments(), "http://update.example.invalid/notes page.html?a=1&b=2")
        << "one argument, never through a shell";
}

TEST_F(FakeDesktop, OpenURLWithoutBrowserGoesThroughTheDesktop) {
    SetDefaults("x-scheme-handler/http=fakebrowser.desktop\n");
    OpenURL("http://update.example.invalid/page", false);
    ASSERT_TRUE(test_support::WaitUntil([&] { return !Arguments().isEmpty(); }));
    EXPECT_EQ(Arguments(), "--new-window\nhttp://update.example.invalid/page")
        << "the desktop runs the entry's whole Exec line";
}
