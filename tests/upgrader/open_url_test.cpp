#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"
#include "upgrader/utils/open_url.h"

using namespace upgrader;

namespace {

// A desktop of its own: XDG folders in a temporary folder, with a fake web
// browser (a script that writes its arguments to a file) and a fake editor.
class FakeDesktop : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS",
                                 "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP", "BROWSER", "DISPLAY"})
            saved_.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        QDir(root_.path()).mkpath("config");
        QDir(root_.path()).mkpath("data/applications");
        QDir(root_.path()).mkpath("system");
        // The system's MIME database stays visible; its applications do not.
        QFile::link("/usr/share/mime", root_.filePath("system/mime"));
        QDir(root_.path()).mkpath("bin");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root_.filePath("config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root_.filePath("data")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(root_.filePath("system")));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root_.filePath("system")));
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("BROWSER");
        // The desktop's opener asks the default handler only when there is a
        // display; the fake browser needs none.
        if (!qEnvironmentVariableIsSet("DISPLAY"))
            qputenv("DISPLAY", ":99");
        browser_ = WriteProgram("bin/fake-browser");
        editor_ = WriteProgram("bin/editor");
        WriteEntry("fakebrowser.desktop", browser_ + " --new-window %u");
        WriteEntry("fakeeditor.desktop", editor_ + " %f");
        WriteEntry("gone.desktop", "/nonexistent/browser %u");
    }

    void TearDown() override {
        for (const Saved& s : saved_) {
            if (s.wasSet)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }

    void SetDefaults(const QString& lines) {
        QFile list(root_.filePath("config/mimeapps.list"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(("[Default Applications]\n" + lines).toUtf8());
    }

    QString Arguments() const {
        QFile file(root_.filePath("arguments"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }

    QString browser_;
    QString editor_;

  private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };

    QString WriteProgram(const QString& name) {
        QFile program(root_.filePath(name));
        EXPECT_TRUE(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" +
                      QFile::encodeName(root_.filePath("arguments")) + ".part\"\nmv \"" +
                      QFile::encodeName(root_.filePath("arguments")) + ".part\" \"" +
                      QFile::encodeName(root_.filePath("arguments")) + "\"\n");
        program.setPermissions(program.permissions() | QFile::ExeOwner);
        return program.fileName();
    }

    void WriteEntry(const QString& name, const QString& exec) {
        QFile entry(root_.filePath("data/applications/" + name));
        EXPECT_TRUE(entry.open(QIODevice::WriteOnly));
        entry.write(("[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec +
                     "\n\n[Desktop Action other]\nExec=/bin/false\n")
                        .toUtf8());
    }

    QTemporaryDir root_;
    QList<Saved> saved_;
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
