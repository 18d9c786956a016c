// The main window's upgrader as the program ships it, and where it looks for
// the update server.
#include <gtest/gtest.h>

#include <QFile>

#include "common/executable_folder.h"
#include "common/program_version.h"
#include "main/auto_upgrader_config.h"
#include "tests/support/file_contents.h"
#include "tests/support/qt_printers.h"
#include "upgrader/auto/auto_upgrader.h"

using namespace upgrader;

// Every test sets QUORVANE_UPDATE_HOST as it needs it; nothing else in this
// program reads it.

// The upgrader is made when its first check is due: the check is armed
// before the retry delay is shortened. Its requests tell the fleet report
// the version, the rollout group and a version it undid.
TEST(AutoUpgraderConfig, FirstCheckAsAskedThenRetriesAtTheConfiguredHost) {
    qputenv("QUORVANE_UPDATE_HOST", "127.0.0.1:8123");
    const QString program = common::ExecutablePath();
    test_support::WriteFile(program + ".rollout-number", "3712\n");
    test_support::WriteFile(program + ".refused-upgrade", "2.0.0.6\n");
    TauAutoUpgrader upgrader;
    main_window::ConfigureAutoUpgrader(upgrader);
    QFile::remove(program + ".rollout-number");
    QFile::remove(program + ".refused-upgrade");
    EXPECT_EQ(upgrader.AgentName,
              QByteArray("Quorvane/") + common::kProgramVersion + " (group 37; refused 2.0.0.6)");
    EXPECT_TRUE(upgrader.AutoCheck());
    EXPECT_EQ(upgrader.AutoCheckTimerInterval(), 1);
    EXPECT_EQ(upgrader.AutoCheckDelay, 500);
    EXPECT_EQ(upgrader.InfoFileURL, "http://127.0.0.1:8123/update/quorvane.inf");
    EXPECT_EQ(upgrader.InfoFile.Files,
              QStringList({"http://127.0.0.1:8123/update/quorvane",
                           "http://127.0.0.1:8123/update/libquorvane-client.so",
                           "http://127.0.0.1:8123/update/libquorvane-updates.so"}));
}

TEST(AutoUpgraderConfig, TheHostComesFromTheEnvironmentWhenItIsAHost) {
    for (const char* good : {"updates.example.org", "[::1]:8080", "  spaced.example:65535  "}) {
        qputenv("QUORVANE_UPDATE_HOST", good);
        EXPECT_EQ(main_window::UpdateServerHost(), QString::fromLatin1(good).trimmed()) << good;
    }
    qputenv("QUORVANE_UPDATE_HOST", "");
    const QString builtIn = main_window::UpdateServerHost();
    EXPECT_FALSE(builtIn.isEmpty());
    for (const char* bad : {"evil.example/other?", "user@host", "host:0", "host:65536", "-host"}) {
        qputenv("QUORVANE_UPDATE_HOST", bad);
        EXPECT_EQ(main_window::UpdateServerHost(), builtIn) << bad;
    }
}
