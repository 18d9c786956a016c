// The download series: files into ".uTMP" files beside the program, the
// wizard, lost files, aborts, interruptions.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <algorithm>

#include "common/executable_folder.h"
#include "tests/support/minisign_keys.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_http_server.h"
#include "tests/support/wait.h"
#include "tests/upgrader/auto/upgrade_fixture.h"
#include "tests/upgrader/test_files.h"
#include "upgrader/dialogs/wizard_form.h"

using namespace upgrader;
using test_support::ServeEvents;
using test_support::WaitUntil;
using namespace upgrader_test;

class DownloadSeries : public UpgradeFixture {};

// The files land beside the program, with the server's times; the restart
// refused here, they stay for a later upgrade.
TEST_F(DownloadSeries, TheWizardFollowsTwoFilesAndItsOkEndsTheUpgrade) {
    server.writeFile("update/quorvane.exe", Pattern(300000));
    const QDateTime published(QDate(2020, 1, 2), QTime(3, 4, 6), Qt::UTC);
    QFile served(server.root() + "/update/quorvane.exe");
    ASSERT_TRUE(served.open(QIODevice::ReadWrite));
    ASSERT_TRUE(served.setFileTime(published, QFileDevice::FileModificationTime));
    served.close();
    server.writeFile("update/data.pak", Pattern(200000, 1));
    Publish("2.0.0.6", {"update/quorvane.exe", "update/data.pak"});
    QStringList onCompletedPage;
    answers->onCompletedPage = [&] {
        TauAutoUpgraderWizardForm* wizard = WizardForm();
        onCompletedPage << wizard->findChild<QLabel*>("AllDownloading")->text()
                        << wizard->findChild<QLabel*>("LFileSize")->text()
                        << QString::number(log.Count("EndUpgrade"));
    };
    ASSERT_TRUE(Upgrade("EndUpgrade"));
    EXPECT_EQ(answers->questions.size(), 1);
    // The completed page waited for the user's OK.
    EXPECT_EQ(onCompletedPage, QStringList({"Downloading 2 of 2", "File size: 195.3 Kb", "0"}));
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(TempFiles(), QStringList({"data.pak.uTMP", "quorvane.exe.uTMP"}));
    const QString program = common::ExecutableFolder() + "quorvane.exe.uTMP";
    EXPECT_EQ(ReadFile(program), Pattern(300000));
    EXPECT_EQ(QFileInfo(program).lastModified().toUTC(), published);
    EXPECT_TRUE(std::is_sorted(log.totals.begin(), log.totals.end()));
    ASSERT_FALSE(log.totals.isEmpty());
    EXPECT_EQ(log.totals.last(), 100);
    EXPECT_TRUE(answers->boxes.isEmpty());
}

TEST_F(DownloadSeries, ALostSecondOfThreeFilesIsSkippedOnYesAndAbortsOnNo) {
    server.writeFile("update/a.bin", "first");
    server.writeFile("update/c.bin", "third");
    Publish("2.0.0.6", {"update/a.bin", "update/b.bin", "update/c.bin"});
    Unattended();
    const QStringList lost = {"BeginUpgrade 0 3 ", "FileStart a.bin 5", "FileDone a.bin.uTMP",
                              "FileStart b.bin 153", "LostFile 404 b.bin"};

    answers->boxAnswers = {QMessageBox::Yes};
    ASSERT_TRUE(Upgrade("EndUpgrade"));
    EXPECT_EQ(log.events,
              lost + QStringList({"FileStart c.bin 5", "FileDone c.bin.uTMP", "EndUpgrade"}));
    EXPECT_EQ(answers->boxes,
              QStringList{"Error #404 | File b.bin not found or inaccessible.\n\nTry to skip "
                          "this file and continue upgrade?"});
    EXPECT_EQ(TempFiles(), QStringList({"a.bin.uTMP", "c.bin.uTMP"}));
    EXPECT_EQ(upgrader->SeriesFiles().size(), 3) << "the replacer finds one missing";

    answers->boxAnswers = {QMessageBox::No};
    ASSERT_TRUE(Upgrade("Aborted"));
    EXPECT_EQ(log.events, lost + QStringList{"Aborted"});
    EXPECT_TRUE(TempFiles().isEmpty()) << "an abort deletes every .uTMP file";
    answers->boxAnswers.clear();
    ASSERT_TRUE(Upgrade("Aborted")) << "in a self-upgrade the question's default is No";
}

TEST_F(DownloadSeries, CancelInTheWizardAbortsAndDeletesTheFiles) {
    server.writeFile("update/first.bin", "first file");
    server.writeFile("slow/big.bin", Pattern(2000000));
    Publish("2.0.0.6", {"update/first.bin", "slow/big.bin"});
    upgrader->CheckUpdate(false);
    ASSERT_TRUE(WaitUntil([&] {
        return log.Count("FileStart big.bin") == 1 && !log.totals.isEmpty() &&
               log.totals.last() > 50;
    }));
    ASSERT_TRUE(QFile::exists(common::ExecutableFolder() + "big.bin.uTMP"));
    ASSERT_TRUE(Press("CancelBtn"));  // the abort question takes its default Yes
    ASSERT_TRUE(WaitForEnd("Aborted"));
    EXPECT_EQ(answers->boxes.size(), 1);
    EXPECT_TRUE(answers->boxes[0].contains("Would you like to abort upgrading?"));
    EXPECT_EQ(WizardForm(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !upgrader->Busy(); }));
    ServeEvents(200);
    EXPECT_TRUE(TempFiles().isEmpty());
    EXPECT_EQ(log.Count("EndUpgrade"), 0);

    // No keeps the wizard; closing the completed page and confirming aborts
    // the finished upgrade.
    Publish("2.0.0.6", {"update/first.bin"});
    answers->completedPage = DialogAnswers::CompletedPage::Close;
    answers->boxAnswers = {QMessageBox::No};  // then the default Yes
    int closings = 0;
    answers->onCompletedPage = [&] { ++closings; };
    ASSERT_TRUE(Upgrade("Aborted"));
    EXPECT_EQ(closings, 2) << "No kept the wizard open";
    EXPECT_EQ(log.Count("EndUpgrade"), 0);
    EXPECT_TRUE(TempFiles().isEmpty());
}

TEST_F(DownloadSeries, APasswordWindowForTheInfoFileAndItsCancel) {
    WriteFile(server.prefix() + "/htpasswd", "reader:{PLAIN}s3cret\n");
    server.writeFile("private/quorvane.inf",
                     "#version=2.0.0.6\r\n#url1=" + Url("private/quorvane.exe").toUtf8() + "\r\n");
    server.writeFile("private/quorvane.exe", "protected program");
    upgrader->InfoFileURL = Url("private/quorvane.inf").toUtf8();
    upgrader->Wizard.Enabled = false;
    answers->credentials = {{"reader", "s3cret"}};
    ASSERT_TRUE(Upgrade("EndUpgrade"));
    ASSERT_EQ(answers->passwordTexts.size(), 1) << "the credentials serve the files too";
    EXPECT_TRUE(answers->passwordTexts[0].contains("\"quorvane.inf\""));
    EXPECT_EQ(ReadFile(common::ExecutableFolder() + "quorvane.exe.uTMP"), "protected program");
    EXPECT_EQ(log.events.first(), "PasswordRequest Quorvane Updates");

    // Cancel aborts: the files of the upgrade go, nothing else is reported.
    upgrader->HTTPPassword = "wrong";
    answers->credentials.reset();
    ASSERT_TRUE(Upgrade("Aborted"));
    ServeEvents(300);
    EXPECT_EQ(log.events, QStringList({"PasswordRequest Quorvane Updates", "Aborted"}));
    EXPECT_TRUE(TempFiles().isEmpty());

    // With a key built in, no password goes to a plain http server.
    upgrader->UpdatePublicKey = test_support::MinisignKeys().PublicKey();
    answers->credentials = {{"reader", "s3cret"}};
    const qsizetype asked = answers->passwordTexts.size();
    ASSERT_TRUE(Upgrade("NoInfoFile"));
    EXPECT_EQ(log.events, QStringList{"NoInfoFile"});
    EXPECT_EQ(answers->passwordTexts.size(), asked);
}

TEST_F(DownloadSeries, AnUnwritableTemporaryFileEndsTheUpgradeWithItsReason) {
    const QString blocked = BesideProgram("blocked.bin.uTMP");
    ASSERT_TRUE(QDir().mkpath(blocked));
    server.writeFile("update/first.bin", "first");
    server.writeFile("update/blocked.bin", "cannot be stored");
    Publish("2.0.0.6", {"update/first.bin", "update/blocked.bin"});
    ASSERT_TRUE(Upgrade("Aborted"));
    ASSERT_EQ(answers->boxes.size(), 1);
    EXPECT_TRUE(answers->boxes[0].startsWith("Application update wizard | "));
    EXPECT_TRUE(answers->boxes[0].contains("blocked.bin.uTMP")) << answers->boxes[0].toStdString();
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_FALSE(QFile::exists(common::ExecutableFolder() + "first.bin.uTMP"));
    QDir(blocked).removeRecursively();
}

// Bodies cut short and hosts that go away: the series ends, the wizard
// closes, and its files, whole or partial, are deleted.
TEST_F(DownloadSeries, ABrokenTransferEndsTheSeriesAndDeletesItsFiles) {
    const quint16 closed = test_support::FreeLoopbackPort();
    // Info files listing a whole file and one cut short or on a host gone;
    // the length a body announces is given in front of it.
    test_support::ScriptedHttpServer scripted([&](const test_support::ScriptedRequest& request,
                                                  test_support::ScriptedConnection& connection) {
        const QByteArray here = "http://" + request.header("Host");
        const QByteArray gone = "http://127.0.0.1:" + QByteArray::number(closed);
        const QByteArray info = "#version=2.0.0.6\r\n#url1=" + here + "/whole.bin\r\n#url2=" +
                                (request.target == "/away.inf" ? gone + "/gone" : here + "/cut") +
                                ".bin\r\n";
        const QMap<QByteArray, std::pair<int, QByteArray>> replies = {
            {"/cut.inf", {500, info}},
            {"/cut.bin", {1000, "only ten b"}},
            {"/whole.bin", {5, "whole"}}};
        const auto [length, body] = replies.value(request.target, {int(info.size()), info});
        connection.send("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(length) +
                        "\r\n\r\n" + body);
        connection.close();
    });
    const QString base = scripted.baseUrl();

    // The info file itself cut short: the connection-lost message.
    upgrader->InfoFileURL = (base + "/cut.inf").toUtf8();
    EXPECT_FALSE(upgrader->CheckUpdate(true));
    EXPECT_EQ(log.events, QStringList{"ConnLost"});
    ASSERT_EQ(answers->boxes.size(), 1);
    EXPECT_EQ(answers->boxes[0],
              "Application update wizard | Connection with remote server lost.\n\nPlease "
              "restore connection and try to\nupgrade this software again later.");

    // A file cut short: the message, the wizard closed, no abort.
    upgrader->InfoFileURL = (base + "/files.inf").toUtf8();
    ASSERT_TRUE(Upgrade("ConnLost"));
    ServeEvents(200);
    EXPECT_EQ(log.events,
              QStringList({"BeginUpgrade 0 2 ", "FileStart whole.bin 5", "FileDone whole.bin.uTMP",
                           "FileStart cut.bin 1000", "ConnLost"}));
    EXPECT_EQ(answers->boxes.size(), 2);
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_TRUE(TempFiles().isEmpty()) << TempFiles().join(' ').toStdString();

    // A file's host unreachable in a series asked for: the host message, the
    // files go; no retry.
    upgrader->ShowMessages |= mHostUnreachable;
    upgrader->InfoFileURL = (base + "/away.inf").toUtf8();
    ASSERT_TRUE(Upgrade("HostUnreachable"));
    ServeEvents(300);
    EXPECT_EQ(log.events.last(), "HostUnreachable gone.bin 127.0.0.1");
    EXPECT_EQ(log.Count("Aborted"), 0);
    EXPECT_EQ(answers->boxes.size(), 3);
    EXPECT_TRUE(answers->boxes[2].contains("Host 'http://127.0.0.1' unreachable"));
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(upgrader->AutoCheckTimerInterval(), 0);
    EXPECT_TRUE(TempFiles().isEmpty()) << TempFiles().join(' ').toStdString();
}
