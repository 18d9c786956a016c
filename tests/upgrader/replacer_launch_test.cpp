// The program's side of the hand-over: writing out the embedded replacer,
// starting it with an argument vector, the restart parameter, the temporary
// download files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/file_contents.h"
#include "upgrader/replacement/replacer_launch.h"
#include "upgrader/replacement/restart_params.h"
#include "upgrader/replacement/temp_files.h"

using namespace upgrader;
using test_support::ReadFile;

TEST(TempFiles, NamesFromAddressesAndDeletionOfAllOfThem) {
    const std::pair<QByteArray, std::optional<QString>> cases[] = {
        {"http://host/get?file=a.bin", "/opt/q/get?file=a.bin.uTMP"},
        {"http://host/\xd6\xd0\xce\xc4.txt", QString::fromUtf8("/opt/q/中文.txt.uTMP")},
        {"http://host/update/", std::nullopt},
        {"http://host/..", std::nullopt},
    };
    for (const auto& [address, path] : cases)
        EXPECT_EQ(TempFilePathFor("/opt/q/", address), path) << address.constData();

    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    for (const char* name : {"a.uTMP", ".hidden.uTMP", "quorvane", "b.utmp", "c.uTMP.txt"})
        QFile(folder + name).open(QIODevice::WriteOnly);
    QDir().mkdir(folder + "folder.uTMP");
    DeleteTempFiles(folder);
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"b.utmp", "c.uTMP.txt", "folder.uTMP", "quorvane"}));
    DeleteTempFiles(folder + "missing/");  // nothing to do, no failure
}

TEST(ReplacerLaunch, TheEmbeddedReplacerIsWrittenAsANewPrivateFile) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/temp folder +1/Ruzozudo3";
    QDir().mkpath(dir.path() + "/temp folder +1");
    // A link planted at the path is removed, its target left alone.
    const QString planted = test_support::WriteFile(dir.path() + "/planted", "");
    ASSERT_TRUE(QFile::link(planted, path));
    ASSERT_TRUE(WriteReplacer(path));
    EXPECT_EQ(ReadFile(planted), QByteArray());
    EXPECT_EQ(test_support::FileMode(path), 0700);
    EXPECT_EQ(ReadFile(path), ReadFile(SHIPPED_REPLACER));  // the resource follows the build

    // What cannot be removed is never written into nor started.
    const QString blocked = dir.path() + "/blocked";
    QDir().mkpath(blocked + "/inside");
    EXPECT_FALSE(WriteReplacer(blocked));
    EXPECT_FALSE(WriteReplacer(dir.path() + "/no such folder/Ruzozudo3"));

    // A folder for the replacer that cannot be made stops the hand-over: the
    // program stays open.
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/proc");  // a folder nobody can create anything in
    bool closed = false;
    EXPECT_FALSE(
        RestartApplication(kDefaultRestartParams, umSelfUpgrade, {}, [&] { closed = true; }));
    qputenv("TMPDIR", saved);
    EXPECT_FALSE(closed);
}
