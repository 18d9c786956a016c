#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

#include "tests/support/fake_desktop.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"
#include "upgrader/utils/open_url.h"

using namespace upgrader;

namespace {

// One desktop for the process with a fake web browser and a fake editor,
// both programs that record their arguments.
class FakeDesktop : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        desktop_ = new test_support::FakeDesktop;
        browser_ = desktop_->WriteRecordingProgram("bin/fake-browser");
        editor_ = desktop_->WriteRecordingProgram("bin/editor");
        desktop_->WriteEntry("fakebrowser.desktop", browser_ + " --new-window %u");
        desktop_->WriteEntry("fakeeditor.desktop", editor_ + " %f");
        desktop_->WriteEntry("gone.desktop", "/nonexistent/browser %u");
    }
    static void TearDownTestSuite() { delete desktop_; }

    static inline test_support::FakeDesktop* desktop_ = nullptr;
    static inline QString browser_;
    static inline QString editor_;
};

// What a new process asks of the desktop as it is now.
QString AssociatedProgramInNewProcess(const QString& extension) {
    QProcess probe;
    probe.start(ASSOCIATED_PROGRAM_PROBE, {extension});
    EXPECT_TRUE(probe.waitForFinished() && probe.exitCode() == 0) << "the probe did not run";
    return QString::fromLocal8Bit(probe.readAllStandardOutput()).trimmed();
}

}  // namespace

// The program for pages: the default web browser first, then the program
// for HTML files; programs that are missing are skipped.
TEST_F(FakeDesktop, TheProgramForPages) {
    const QString both = "text/html=fakeeditor.desktop\nx-scheme-handler/http=";
    const std::tuple<QString, QString, QString> cases[] = {
        {both + "fakebrowser.desktop\n", ".HTML", browser_},
        {both + "gone.desktop\n", ".html", editor_},
        {"x-scheme-handler/http=gone.desktop\n", ".html", ""},
        {"x-scheme-handler/http=unknown.desktop\n", ".html", ""},
    };
    for (const auto& [defaults, extension, program] : cases) {
        desktop_->SetDefaults(defaults);
        EXPECT_EQ(AssociatedProgramInNewProcess(extension), program)
            << (defaults + extension).toStdString();
    }
}

// To the browser: the address alone, one argument, never through a shell.
// Without it: the desktop runs the entry's whole Exec line.
TEST_F(FakeDesktop, OpenURLHandsTheAddressToTheBrowser) {
    desktop_->SetDefaults("x-scheme-handler/http=fakebrowser.desktop\n");
    const std::tuple<QByteArray, bool, QString> cases[] = {
        {"update.example.invalid/notes page.html?a=1&b=2", true,
         "http://update.example.invalid/notes page.html?a=1&b=2"},
        {"http://update.example.invalid/page", false,
         "--new-window\nhttp://update.example.invalid/page"},
    };
    for (const auto& [url, browser, arguments] : cases) {
        OpenURL(url, browser);
        EXPECT_TRUE(test_support::WaitUntil([&] {
            return desktop_->RecordedArguments() == arguments;
        })) << desktop_->RecordedArguments().toStdString();
    }
}
