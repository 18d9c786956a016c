#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/executable_folder.h"

#include "tests/support/file_contents.h"
#include "tests/support/minisign_keys.h"
#include "upgrader/info/info_file.h"
#include "upgrader/info/version_date.h"
#include "upgrader/verification/file_hash.h"
#include "upgrader/verification/minisign_signature.h"
#include "upgrader/verification/signed_comment.h"

using namespace upgrader;
using test_support::MinisignKeys;

// One row per rule of the reading.
TEST(GetInfoValue, KeysInAnyCaseTheirTerminatorsAndBracedValues) {
    // The text, the key, the value, whether it is braced.
    const std::tuple<QByteArray, const char*, QByteArray, bool> cases[] = {
        {"#URL=AbC\r\n", "Url", "AbC", false},   // keys in any case, the value in its own
        {"#url= a b\tc", "url", " a b", false},  // TAB ends it, a space does not; not trimmed
        {QByteArray("#url=a\0z", 8), "url", "a", false},        // any control byte ends it
        {"#url=\xd6\x7f\xff\n", "url", "\xd6\x7f\xff", false},  // bytes from 0x7F up stay
        {"#version =2", "version", "", false},  // nothing may stand between key and "="
        // The first occurrence wins, even inside another entry's value, but
        // not inside the notice (when its brace is closed).
        {"#date=see #version=9.9\n#version=2.0", "version", "9.9", false},
        {"#message={see #version=9.9}\n#version=2.0", "version", "2.0", false},
        {"#message={see #version=9.9\n", "version", "9.9", false},
        {"#url1=a #url=b", "url", "b", false},  // "#url=" is not part of "#url1="
        {"#a#url=b", "url", "b", false},        // a "#" inside another key starts one
        {"#" + QByteArray(100, 'k') + "#url=b=c", "url", "b=c", false},
        // Braced values: a message must open with a brace, control bytes
        // belong to it, and only a "}" that is a GB18030 character ends it
        // (倉 is 82 7D; a four-byte character has digits inside); plain
        // lookups of the same key need no brace.
        {"#message={line one\r\n\tline two}\r\n", "message", "line one\r\n\tline two", true},
        {"#message={abc\r\nto the end", "message", "abc\r\nto the end", true},
        {"#message=no brace}", "message", "", true},
        {"#message={\x82\x7d\xd6\xf7}#url=x", "message", "\x82\x7d\xd6\xf7", true},
        {"#message={\x82\x7d #url=x}\n#url=y", "url", "y", false},
        {"#message={\x81\x30\x81\x30}", "message", "\x81\x30\x81\x30", true},
        {"#message={\x81\x30}x}", "message", "\x81\x30", true},  // no four-byte character
        {"#message={a\x82", "message", "a\x82", true},
        {"#message={x}", "message", "{x}", false},
    };
    for (const auto& [text, key, value, braced] : cases)
        EXPECT_EQ(GetInfoValue(text, key, braced), value) << text.constData();
    // Of the upgrade method only the first byte counts.
    EXPECT_EQ(ReadUpgradeMethod("#method=1x"), umUseExternalSetup);
    EXPECT_EQ(ReadUpgradeMethod("#METHOD=21\r\n"), umRedirectToURL);
    EXPECT_EQ(ReadUpgradeMethod("#method= 1"), umSelfUpgrade);
}

// "url", "url0", then the numbers from the one after those found, up to the
// first that is missing or empty.
TEST(BuildFileList, UrlSequence) {
    const std::pair<QByteArray, QList<QByteArray>> cases[] = {
        {"#url1=a\n#url2=b\n#url4=d\n", {"a", "b"}},
        {"#url=a\n#url1=b\n#url2=c\n", {"a", "c"}},
        {"#url=a\n#url0=b\n#url3=c\n", {"a", "b", "c"}},
        {"#url=\n#url1=b\n", {"b"}},
        {"#url1=\n#url2=b\n", {}},
        {"#url1=a\n#url2=a\n", {"a", "a"}},                       // duplicates are kept
        {"#url01=a\n", {}},                                       // no leading zeros
        {"#message={#url1=x\r\n#url2=y}\r\n#url1=a\r\n", {"a"}},  // none from the notice
    };
    for (const auto& [text, files] : cases) {
        QList<QByteArray> list{"stale"};
        BuildFileList(text, list);
        EXPECT_EQ(list, files) << text.constData();
    }
}

TEST(BuildFileHashes, EachListedAddressWithItsOwnEntrysHashAndSize) {
    const QByteArray a(64, 'a'), b(64, 'b');
    EXPECT_EQ(
        BuildFileHashes("#url=x\n#url_sha256=" + a.toUpper() + "\n#url1=y\n#url1_sha256=" + b),
        (TauFileHashes{{"x", a}}))
        << "after url the numbers go on at url2";
    EXPECT_EQ(BuildFileHashes("#url1=x\n#url2=y\n#url2_sha256=" + b + "\n#url9_sha256=" + a),
              (TauFileHashes{{"y", b}}));
    for (const QByteArray& first : {"#url1_sha256=" + b, QByteArray()})
        EXPECT_FALSE(IsSha256Text(
            BuildFileHashes("#url1=x\n#url2=x\n#url2_sha256=" + a + "\n" + first).value("x")))
            << "one address with two hashes, or one and none, has none that fits";
    QList<QByteArray> list;
    BuildFileList("#url_sha256=" + a + "\n#url1_sha256=" + b, list);
    EXPECT_TRUE(list.isEmpty()) << "a hash entry is no address";
    // Sizes are read the same way: decimal digits alone, one per address.
    EXPECT_EQ(TauInfoText("#url1=a\n#url1_size=12\n#url2=b\n#url2_size=+3\n#url3=c\n"
                          "#url3_size=4\n#url4=c\n#url4_size=5\n#url5=d\n#url6=d\n#url6_size=1\n")
                  .FileSizes(),
              (TauFileSizes{{"a", 12}, {"c", -1}, {"d", -1}}));
}

TEST(VersionDate, ReadsMonthDayYearAndFallsBackToToday) {
    const TDateTime today = DateTimeFromDate(QDate::currentDate());
    EXPECT_EQ(ParseVersionDate("12/31/2016"), DateTimeFromDate(QDate(2016, 12, 31)));
    EXPECT_EQ(ParseVersionDate("1/3/2017"), DateTimeFromDate(QDate(2017, 1, 3)));
    EXPECT_EQ(ParseVersionDate("2016-12-31"), today);
    EXPECT_EQ(ParseVersionDate("02/29/2017"), today);
    EXPECT_EQ(FormatVersionDate(DateTimeFromDate(QDate(2016, 12, 31)) + 0.75), "12/31/2016");
    EXPECT_EQ(FormatVersionDate(DateTimeFromDate(QDate(17, 1, 3))), "01/03/0017");
}

// The publisher's signature and the files' hashes, checked against what the
// real minisign writes.

namespace {

// The signature with one of its four lines replaced.
QByteArray WithLine(const QByteArray& signature, int line, const QByteArray& text) {
    QList<QByteArray> lines = signature.split('\n');
    lines[line] = text;
    return lines.join('\n');
}

// The base64 line with one decoded byte flipped.
QByteArray FlipByte(const QByteArray& base64, int at) {
    QByteArray bytes = QByteArray::fromBase64(base64);
    bytes[at] = char(bytes[at] ^ 1);
    return bytes.toBase64();
}

}  // namespace

TEST(MinisignSignature, OnlyTheSignatureOfTheBytesByTheKeyHolds) {
    const MinisignKeys publisher;
    const MinisignKeys stranger;
    const auto key = ParseMinisignPublicKey(publisher.PublicKey());
    ASSERT_TRUE(key);
    const QByteArray info = "#version=2.0.0.6\r\n#url=http://host/update/quorvane\r\n";
    const QByteArray hashed = publisher.Sign(info);
    const QByteArray legacy = publisher.Sign(info, true);
    ASSERT_TRUE(QByteArray::fromBase64(hashed.split('\n')[1]).startsWith("ED"));
    ASSERT_TRUE(QByteArray::fromBase64(legacy.split('\n')[1]).startsWith("Ed"));
    const QByteArray signatureLine = hashed.split('\n')[1];
    const QByteArray globalLine = hashed.split('\n')[3];

    using enum TauSignatureCheck;
    const std::tuple<const char*, QByteArray, TauSignatureCheck> cases[] = {
        {"pre-hashed", hashed, Valid},
        {"legacy, not prehashed", legacy, Malformed},
        {"prehashed relabelled legacy",
         WithLine(hashed, 1, ("Ed" + QByteArray::fromBase64(signatureLine).mid(2)).toBase64()),
         Malformed},
        {"CR LF line ends", QByteArray(hashed).replace("\n", "\r\n"), Valid},
        {"another key", stranger.Sign(info), OtherKey},
        {"trusted comment changed", WithLine(hashed, 2, "trusted comment: other"), Invalid},
        {"signature flipped", WithLine(hashed, 1, FlipByte(signatureLine, 20)), Invalid},
        {"global signature flipped", WithLine(hashed, 3, FlipByte(globalLine, 5)), Invalid},
        {"unknown algorithm", WithLine(hashed, 1, "Ex" + signatureLine.mid(2)), Malformed},
        {"three lines", hashed.left(hashed.lastIndexOf('\n', hashed.size() - 2)), Malformed},
        {"no untrusted comment", WithLine(hashed, 0, "comment: x"), Malformed},
        {"no trusted comment", WithLine(hashed, 2, "comment: x"), Malformed},
        {"not base64", WithLine(hashed, 1, "!!" + signatureLine.mid(2)), Malformed},
        {"short signature", WithLine(hashed, 1, signatureLine.left(60)), Malformed},
    };
    for (const auto& [what, signature, expected] : cases)
        EXPECT_EQ(VerifyMinisignSignature(*key, info, signature), expected) << what;
    // The info file changed after signing.
    EXPECT_EQ(VerifyMinisignSignature(*key, "#" + info.mid(1).toUpper(), hashed), Invalid);
}

TEST(MinisignSignature, PublicKeysInMinisignsFormOnlyOneOrSeveral) {
    const MinisignKeys publisher;
    const QByteArray line = publisher.PublicKey();
    const auto fromLine = ParseMinisignPublicKey(line);
    const auto fromFile = ParseMinisignPublicKey(publisher.PublicKeyFile());
    ASSERT_TRUE(fromLine && fromFile);
    EXPECT_EQ(std::pair(fromLine->Key, fromLine->KeyId), std::pair(fromFile->Key, fromFile->KeyId));
    for (const QByteArray& bad :
         {QByteArray(), line.left(40), line + "AAAA", "Xy" + line.mid(2),
          QByteArray("untrusted comment: x\n" + line + "\n" + line), QByteArray::fromBase64(line)})
        EXPECT_FALSE(ParseMinisignPublicKey(bad)) << bad.constData();

    // Several keys: the one the signature names decides.
    const MinisignKeys next;
    const auto both = ParseMinisignPublicKeys(" " + next.PublicKey() + "\n" + line + " ");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->size(), 2u);
    EXPECT_FALSE(ParseMinisignPublicKeys(line + " " + line.left(40)));
    EXPECT_FALSE(ParseMinisignPublicKeys(" "));
    EXPECT_EQ(VerifyMinisignSignature(*both, "info", publisher.Sign("info")),
              TauSignatureCheck::Valid);
    EXPECT_EQ(VerifyMinisignSignature(*both, "info", MinisignKeys().Sign("info")),
              TauSignatureCheck::OtherKey);
    EXPECT_EQ(VerifyMinisignSignature(*both, "info", next.Sign("other")),
              TauSignatureCheck::Invalid);
}

TEST(FileHash, TheFileMustHaveThePublishedSha256) {
    QTemporaryDir folder;
    const QString file = test_support::WriteFile(folder.filePath("quorvane.uTMP"), "abc");
    const QByteArray abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    EXPECT_TRUE(FileHasSha256(file, abc));
    EXPECT_TRUE(FileHasSha256(file, abc.toUpper()));
    EXPECT_FALSE(FileHasSha256(file, QByteArray(abc).replace('b', 'c')));
    EXPECT_FALSE(FileHasSha256(file, abc.left(63)));
    EXPECT_FALSE(FileHasSha256(file, abc.left(63) + "g"));
    EXPECT_FALSE(FileHasSha256(folder.filePath("missing"), abc));
}

// The newest-update record: one far-future info file (a publisher's clock,
// a stolen key) locks a host out for a day at most, and no other host at
// all; clients that read only a number in its first 32 bytes still can.
TEST(NewestUpdateRecord, LocksAHostOutForADayAtMostAndNoOtherHost) {
    const QString path = common::ExecutablePath() + ".newest-update";
    QFile::remove(path);
    const qint64 now = 1800000000, day = 86400;
    auto problem = [](const QByteArray& host, qint64 published, qint64 clock) {
        const QByteArray text =
            "quorvane host=" + host + " version=2 published=" + QByteArray::number(published);
        const char* why = SignedCommentProblem(ParseSignedComment(text), host, "2", clock,
                                               ReadNewestPublished(host, clock));
        return QString::fromLatin1(why ? why : "taken");
    };
    RecordNewestPublished("prod.example", 4102444800, now);
    EXPECT_EQ(problem("prod.example", now, now), "the info file is older than one taken before");
    EXPECT_EQ(problem("prod.example", now + day, now + day), "taken") << "a day later";
    RecordNewestPublished("Staging.example:8080", now + 10, now + 10);
    EXPECT_EQ(problem("staging.example:8080", now + 5, now + 10),
              "the info file is older than one taken before");
    EXPECT_EQ(problem("other.example", now, now), "taken");
    RecordNewestPublished("prod.example", now, now);
    EXPECT_EQ(ReadNewestPublished("prod.example", now), now + day) << "never lowered";
    EXPECT_EQ(test_support::ReadFile(path).left(32).trimmed().toLongLong(), now + day);
    // A record of a client before per-host records counts for every host.
    test_support::WriteFile(path, QByteArray::number(now) + "\n");
    EXPECT_EQ(ReadNewestPublished("any.example", now), now);
    QFile::remove(path);
}
