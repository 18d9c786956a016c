// What a server can make the upgrader do: with a publisher's key only a
// signed info file and files with its hashes count; with or without one, no
// address, body or link of the server's reaches a file it should not.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "common/executable_folder.h"
#include "tests/support/minisign_keys.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_http_server.h"
#include "tests/support/wait.h"
#include "tests/support/warning_log.h"
#include "tests/upgrader/auto/upgrade_fixture.h"
#include "tests/upgrader/test_files.h"

using namespace upgrader;
using test_support::ServeEvents;
using namespace upgrader_test;

namespace {

QByteArray Sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

class Trust : public UpgradeFixture {
  protected:
    void SetUp() override {
        UpgradeFixture::SetUp();
        Unattended();
    }

    // Publishes the program file and an info file listing it with the hash
    // and size (0: the program's, -1: none), signed by the signer (or not at
    // all); Tamper changes the info file after signing.
    void PublishSigned(const QByteArray& program, const QByteArray& hash,
                       const test_support::MinisignKeys* signer, const QByteArray& tamper = {},
                       const QByteArray& comment = {}, qint64 size = 0) {
        server.writeFile("update/quorvane.exe", program);
        const QByteArray info =
            "#version=2.0.0.6\r\n#url=" + Url("update/quorvane.exe").toUtf8() + "\r\n" +
            (hash.isEmpty() ? "" : "#url_sha256=" + hash + "\r\n") +
            (size < 0 ? ""
                      : "#url_size=" + QByteArray::number(size ? size : program.size()) + "\r\n");
        server.writeFile("update/quorvane.inf", info + tamper);
        QFile::remove(server.root() + "/update/quorvane.inf.minisig");
        if (signer != nullptr)
            server.writeFile("update/quorvane.inf.minisig",
                             signer->Sign(info, false, comment.isEmpty() ? Comment() : comment));
    }

    // The trusted comment the publisher's tool writes for this server.
    QByteArray Comment(const QByteArray& host = {}, const QByteArray& version = "2.0.0.6",
                       qint64 published = QDateTime::currentSecsSinceEpoch(),
                       const QByteArray& expires = {}) const {
        return "quorvane host=" +
               (host.isEmpty() ? "127.0.0.1:" + QByteArray::number(server.port()) : host) +
               " version=" + version + " published=" + QByteArray::number(published) + expires;
    }

    test_support::MinisignKeys publisher;
    test_support::WarningLog warnings;
};

}  // namespace

TEST_F(Trust, OnlyASignedInfoFileAndFilesWithItsHashesAreInstalled) {
    const test_support::MinisignKeys stranger;
    upgrader->UpdatePublicKey = publisher.PublicKey();
    const QByteArray program = "#!/bin/sh\necho the new version\n";
    const QByteArray hash = Sha256(program);
    const test_support::MinisignKeys* const p = &publisher;
    const QByteArray expired =
        Comment({}, "2.0.0.6", QDateTime::currentSecsSinceEpoch(), " expires=2000");
    // Each row ends at the box; a refused info file says why in the log
    // ("refused: ...why..."), and one that got as far as the download also
    // ends in "Aborted".
    const struct {
        const char* what;
        QByteArray hash;
        const test_support::MinisignKeys* signer;
        QByteArray tamper;
        bool aborted;
        const char* why;
        QByteArray comment{};
        qint64 size = 0;
    } cases[] = {
        {"info changed after signing", hash, p, "#url1=http://evil/x\r\n", false, "not match"},
        {"schedule widened after signing", hash, p, "#rollout=100@0\r\n", false, "not match"},
        {"signed by another key", hash, &stranger, {}, false, "another key"},
        {"no signature", hash, nullptr, {}, false, "no signature beside it"},
        {"file differs from its hash", Sha256(program + " "), p, {}, true, "publisher's checksum"},
        {"file without a hash", {}, p, {}, true, "does not match"},
        {"signed for no host", hash, p, {}, false, "which host", "a release"},
        {"signed for another host", hash, p, {}, false, "another host", Comment("staging.example")},
        {"for another version", hash, p, {}, false, "another version", Comment({}, "2.0.0.7")},
        {"expired", hash, p, {}, false, "has expired", expired},
        {"older than one taken", hash, p, {}, false, "older than", Comment({}, "2.0.0.6", 1000)},
        {"file without a size", hash, p, {}, true, "does not match", {}, -1},
        {"file longer than its size", hash, p, {}, true, "does not match", {}, program.size() - 1},
    };
    test_support::WriteFile(common::ExecutablePath() + ".newest-update", "1001\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PublishSigned(program, c.hash, c.signer, c.tamper, c.comment, c.size);
        log.events.clear();
        answers->boxes.clear();
        warnings.Clear();
        upgrader->CheckUpdate(false);
        ASSERT_TRUE(c.aborted ? WaitForEnd("Aborted")
                              : test_support::WaitUntil([&] { return !answers->boxes.isEmpty(); }));
        ServeEvents(100);
        EXPECT_EQ(log.Count("BeginUpgrade"), c.aborted ? 1 : 0);
        ASSERT_EQ(answers->boxes.size(), 1);
        if (c.aborted)
            EXPECT_TRUE(answers->boxes[0].contains(c.why)) << answers->boxes[0].toStdString();
        else
            EXPECT_FALSE(warnings.Messages()
                             .filter(QRegularExpression(QString("refused: .*") + c.why))
                             .isEmpty())
                << warnings.Messages().join('\n').toStdString();
        EXPECT_TRUE(TempFiles().isEmpty()) << "nothing unverified is kept";
    }

    // The automatic check refuses without a word, after fetching the pair
    // once more (a cache may serve an old info file beside a new signature).
    PublishSigned(program, hash, nullptr);
    answers->boxes.clear();
    const QString accessLog = server.prefix() + "/logs/access.log";
    const qsizetype fetched = ReadFile(accessLog).count("GET /update/quorvane.inf ");
    upgrader->AutoCheckDelay = 50;
    upgrader->SetAutoCheck(true);
    ASSERT_TRUE(test_support::WaitUntil([&] {
        return upgrader->TimerCheckActive() && !upgrader->Busy() &&
               ReadFile(accessLog).count("GET /update/quorvane.inf ") > fetched;
    }));
    ServeEvents(1000);
    EXPECT_EQ(ReadFile(accessLog).count("GET /update/quorvane.inf ") - fetched, 2);
    EXPECT_TRUE(answers->boxes.isEmpty());
    upgrader->SetAutoCheck(false);

    // Signed for this host, version and time, with the file's hash: the
    // upgrade goes ahead (the record it keeps is NewestUpdateRecord's).
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    PublishSigned(program, hash.toUpper(), &publisher, {},
                  Comment({}, "2.0.0.6", now, " expires=" + QByteArray::number(now + 900000)));
    ASSERT_TRUE(Upgrade("EndUpgrade"));
    QFile::remove(common::ExecutablePath() + ".newest-update");
    EXPECT_EQ(TempFiles(), QStringList{"quorvane.exe.uTMP"});
    EXPECT_EQ(ReadFile(common::ExecutableFolder() + "quorvane.exe.uTMP"), program);
}

// Without a key: what the server lists or sends is still kept in bounds.
TEST_F(Trust, AddressesBodiesAndLinksOfTheServerAreKeptInBounds) {
    // A file address of this machine is a lost file: nothing is copied.
    Publish("2.0.0.6", {"file:///etc/hostname"});
    ASSERT_TRUE(Upgrade("LostFile"));
    EXPECT_EQ(log.events.value(1), "LostFile 0 hostname");
    ServeEvents(100);
    EXPECT_TRUE(TempFiles().isEmpty());

    // A link at the download's place is removed, not written through.
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath("kept");
    test_support::WriteFile(target, "");
    const QString download = BesideProgram("linked.bin.uTMP");
    ASSERT_TRUE(QFile::link(target, download));
    server.writeFile("update/linked.bin", "new bytes");
    Publish("2.0.0.6", {"update/linked.bin"});
    ASSERT_TRUE(Upgrade("EndUpgrade"));
    EXPECT_EQ(ReadFile(target), "");
    EXPECT_FALSE(QFileInfo(download).isSymLink());
    EXPECT_EQ(ReadFile(download), "new bytes");
}

// An info file that never ends is no info file, and memory stays bounded.
TEST_F(Trust, AnEndlessInfoFileIsNone) {
    test_support::ScriptedHttpServer endless(test_support::EndlessBody());
    upgrader->InfoFileURL = (endless.baseUrl() + "/update/quorvane.inf").toUtf8();
    upgrader->ShowMessages = {};
    EXPECT_FALSE(upgrader->CheckUpdate(true));
    EXPECT_EQ(log.events, QStringList{"NoInfoFile"});
    EXPECT_TRUE(upgrader->BodyTooLarge());
}

// After the replacer put the old program back: the user is told, the
// automatic check leaves that version alone, a manual one offers it, and a
// newer version ends the record.
TEST_F(Trust, ARefusedVersionIsToldAndNotOfferedByTheAutomaticCheck) {
    const QString record =
        BesideProgram(QFileInfo(common::ExecutablePath()).fileName() + ".refused-upgrade");
    test_support::WriteFile(record, "2.0.0.6\n");
    upgrader->Loaded({});
    ASSERT_TRUE(test_support::WaitUntil([&] { return !answers->boxes.isEmpty(); }));
    EXPECT_EQ(answers->boxes, QStringList{"Application update wizard | The upgrade to version "
                                          "2.0.0.6 could not start, so the previous version was "
                                          "kept."});
    server.writeFile("update/quorvane.exe", "new program");
    Publish("2.0.0.6", {"update/quorvane.exe"});
    upgrader->AutoCheckDelay = 50;
    upgrader->SetAutoCheck(true);
    ASSERT_TRUE(WaitForEnd("NoUpdateAvailable"));
    EXPECT_EQ(log.Count("BeginUpgrade"), 0);
    upgrader->SetAutoCheck(false);
    ASSERT_TRUE(Upgrade("EndUpgrade"));
    EXPECT_TRUE(QFile::exists(record));

    Publish("2.0.0.7", {"update/quorvane.exe"});
    upgrader->CheckUpdate(true);
    EXPECT_FALSE(QFile::exists(record)) << "a newer version ends the record";
}
