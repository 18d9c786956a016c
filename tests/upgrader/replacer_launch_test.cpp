// The program's side of the hand-over: writing out the embedded replacer,
// starting it with an argument vector, the restart parameter, the temporary
// download files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "tests/support/file_contents.h"
#include "tests/support/wait.h"
#include "tests/upgrader/replacer_folder.h"
#include "upgrader/replacement/replacer_launch.h"
#include "upgrader/replacement/restart_params.h"
#include "upgrader/replacement/temp_files.h"
#include "upgrader/utils/temp_directory.h"

using namespace upgrader;
using replacer_test::ProgramFolder;

using test_support::ReadFile;

namespace {

int ModeOf(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0
               ? static_cast<int>(status.st_mode & 07777)
               : -1;
}

}  // namespace

TEST(RestartParameter, DigitsEmptyParamsAndTheRestartCheck) {
    EXPECT_EQ(RestartParameter(kDefaultRestartParams, umSelfUpgrade), "/afterupgrade0");
    EXPECT_EQ(RestartParameter(kDefaultRestartParams, umUseExternalSetup), "/afterupgrade1");
    EXPECT_EQ(RestartParameter(kDefaultRestartParams, umRedirectToURL), "/afterupgrade2");
    EXPECT_EQ(StoredRestartParams(""), " ");
    EXPECT_EQ(StoredRestartParams("/x"), "/x");
    EXPECT_EQ(RestartParameter(StoredRestartParams(""), umSelfUpgrade), " 0");

    EXPECT_TRUE(WasRestartedByUpgrade({"quorvane", "/afterupgrade"}, kDefaultRestartParams));
    EXPECT_TRUE(WasRestartedByUpgrade({"quorvane", "/afterupgrade", "x"}, kDefaultRestartParams));
    EXPECT_FALSE(WasRestartedByUpgrade({"quorvane", "/AFTERUPGRADE"}, kDefaultRestartParams));
    EXPECT_FALSE(WasRestartedByUpgrade({"quorvane", "x", "/afterupgrade"}, kDefaultRestartParams));
    EXPECT_FALSE(WasRestartedByUpgrade({"quorvane"}, kDefaultRestartParams));
}

TEST(TempFiles, NamesFromAddressesAndDeletionOfAllOfThem) {
    const struct {
        QByteArray address;
        std::optional<QString> path;
    } cases[] = {
        {"http://host/update/quorvane.exe", "/opt/q/quorvane.exe.uTMP"},
        {"http://host/get?file=a.bin", "/opt/q/get?file=a.bin.uTMP"},
        {"http://host/\xd6\xd0\xce\xc4.txt", QString::fromUtf8("/opt/q/中文.txt.uTMP")},
        {"http://host/update/", std::nullopt},
        {"http://host/..", std::nullopt},
        {"http://host/.", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TempFilePathFor("/opt/q/", c.address), c.path) << c.address.constData();

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
    ASSERT_TRUE(WriteReplacer(path));
    EXPECT_EQ(ReadFile(path), ReadFile(SHIPPED_REPLACER));  // the resource follows the build
    EXPECT_EQ(ModeOf(path), 0700);

    // A link planted at the path is removed, its target left alone.
    const QString planted = dir.path() + "/planted";
    QFile(planted).open(QIODevice::WriteOnly);
    QFile::remove(path);
    ASSERT_TRUE(QFile::link(planted, path));
    ASSERT_TRUE(WriteReplacer(path));
    EXPECT_EQ(ReadFile(planted), QByteArray());
    EXPECT_EQ(ModeOf(path), 0700);
    EXPECT_EQ(ReadFile(path), ReadFile(SHIPPED_REPLACER));

    // What cannot be removed is never written into nor started.
    const QString blocked = dir.path() + "/blocked";
    QDir().mkpath(blocked + "/inside");
    EXPECT_FALSE(WriteReplacer(blocked));
    EXPECT_FALSE(WriteReplacer(dir.path() + "/no such folder/Ruzozudo3"));
}

TEST(ReplacerLaunch, StartedWithAnArgumentVectorItReplacesAndRestarts) {
    ProgramFolder f("my app +1");
    f.Download("quorvane", f.NewProgram());
    QTemporaryDir temp;
    const QString replacer = temp.path() + "/tmp +dir/Ruzozudo3";
    QDir().mkpath(temp.path() + "/tmp +dir");
    ASSERT_TRUE(WriteReplacer(replacer));
    ASSERT_TRUE(StartReplacer(replacer, f.ProgramPath(),
                              RestartParameter(kDefaultRestartParams, umSelfUpgrade), f.Folder()));
    ASSERT_TRUE(f.WaitForStarts("quorvane", 1));
    EXPECT_EQ(f.Starts("quorvane"), QStringList{"/afterupgrade"});
    EXPECT_EQ(f.Read("quorvane"), f.NewProgram());
    EXPECT_EQ(f.Mode("quorvane"), 0755);

    EXPECT_FALSE(
        StartReplacer(temp.path() + "/missing", f.ProgramPath(), "/afterupgrade0", f.Folder()));
}

TEST(ReplacerLaunch, TheProgramRestartsItselfThroughTheReplacer) {
    ProgramFolder f("installed program +2");
    const QByteArray probe = ReadFile(LAUNCH_PROBE);
    ASSERT_FALSE(probe.isEmpty());
    const QByteArray newProbe = probe + "\nthe new version\n";
    f.Write("quorvane", probe, 0755);
    f.Download("quorvane", newProbe);
    // Stray ".uTMP" files are not part of this upgrade.
    f.Download("stray", "not published");
    QTemporaryDir temp;
    const QString tempFolder = temp.path() + "/user temp";
    QDir().mkpath(tempFolder);
    // Another user's file at the old fixed path, and a link that looks like
    // a folder of ours, change nothing.
    QFile taken(tempFolder + "/Ruzozudo3");
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    ASSERT_EQ(::fchown(taken.handle(), 65534, 65534), 0);
    taken.close();
    QDir().mkpath(temp.path() + "/elsewhere");
    QFile(temp.path() + "/elsewhere/kept").open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(temp.path() + "/elsewhere", tempFolder + "/quorvane-replacer-link"));

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", tempFolder);
    program.setProcessEnvironment(environment);
    program.start(f.ProgramPath(), {"--launch"});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0);  // the replacer started, the program closed

    ASSERT_TRUE(f.WaitForStarts("quorvane", 2));
    EXPECT_EQ(f.Starts("quorvane"), (QStringList{"--launch", "/afterupgrade"}));
    EXPECT_EQ(f.Read("quorvane"), newProbe);
    EXPECT_EQ(f.Mode("quorvane"), 0755);
    EXPECT_FALSE(f.Exists("quorvane.uTMP"));
    EXPECT_FALSE(f.Exists("stray"));
    EXPECT_TRUE(f.Exists("stray.uTMP"));
    // The restarted program confirmed: the replacer keeps the upgrade.
    EXPECT_FALSE(
        test_support::WaitUntil([&] { return f.Exists("quorvane.refused-upgrade"); }, 1000));
    EXPECT_EQ(f.Read("quorvane"), newProbe);
    // The restarted program removed the replacer's folder, and nothing else.
    EXPECT_TRUE(test_support::WaitUntil([&] {
        return QDir(tempFolder)
            .entryList({"quorvane-replacer-*"}, QDir::Dirs | QDir::NoSymLinks)
            .isEmpty();
    }));
    EXPECT_TRUE(QFile::exists(temp.path() + "/elsewhere/kept"));
    EXPECT_TRUE(QFileInfo(tempFolder + "/quorvane-replacer-link").isSymLink());
    EXPECT_TRUE(QFile::exists(tempFolder + "/Ruzozudo3"));
}

// The replacer can be neither written nor started: the program stays open.
TEST(ReplacerLaunch, AFolderThatCannotBeMadeStopsTheHandOver) {
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/proc");  // a folder nobody can create anything in
    bool closed = false;
    EXPECT_FALSE(
        RestartApplication(kDefaultRestartParams, umSelfUpgrade, {}, [&] { closed = true; }));
    qputenv("TMPDIR", saved);
    EXPECT_FALSE(closed);
}
