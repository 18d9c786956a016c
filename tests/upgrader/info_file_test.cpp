#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "tests/support/minisign_keys.h"
#include "tests/upgrader/test_files.h"
#include "upgrader/info/info_file.h"
#include "upgrader/info/version_date.h"
#include "upgrader/verification/file_hash.h"
#include "upgrader/verification/minisign_signature.h"

using namespace upgrader;
using test_support::MinisignKeys;

namespace {

QList<QByteArray> FileListOf(const QByteArray& text) {
    QList<QByteArray> list{"stale"};
    BuildFileList(text, list);
    return list;
}

}  // namespace

TEST(GetInfoValue, KeysInAnyCaseTheirTerminatorsAndBracedValues) {
    struct Case {
        QByteArray text;
        const char* key;
        QByteArray value;
        bool braced = false;
    };
    const Case cases[] = {
        {"#Version=2.0.0.6\r\n", "version", "2.0.0.6"},
        {"#VERSION=2.0.0.6", "version", "2.0.0.6"},
        {"#version=2.0.0.6", "VerSion", "2.0.0.6"},
        {"#url=AbC\r\n", "url", "AbC"},            // the value keeps its case
        {"#url=a b\tc", "url", "a b"},             // TAB ends it, a space does not
        {"#url=a \r\n", "url", "a "},              // not trimmed
        {"#url= a\n", "url", " a"},                //
        {"#url=a\x01z", "url", "a"},               // any control byte ends it
        {QByteArray("#url=a\0z", 8), "url", "a"},  // NUL too
        {"#url=\xd6\xf7\x7f\xff.exe\n", "url", "\xd6\xf7\x7f\xff.exe"},  // bytes from 0x7F up stay
        {"#url=", "url", ""},
        {"#url=to the end", "url", "to the end"},
        {"#version =2", "version", ""},  // nothing may stand between key and "="
        {"# version=2", "version", ""},
        {"version=2", "version", ""},
        {"", "version", ""},
        // The first occurrence wins, even inside another entry's value.
        {"#message={see #version=9.9}\n#version=2.0", "version", "9.9}"},
        {"#version=1\n#version=2", "version", "1"},
        {"#url1=a #url=b", "url", "b"},  // "#url=" is not part of "#url1="
        {"#a#url=b", "url", "b"},        // a "#" inside another key starts one
        {"##url=b", "url", "b"},
        {"#" + QByteArray(100, 'k') + "#url=b=c", "url", "b=c"},
        // Braced values: a message must open with a brace, control bytes
        // belong to it, and a "}" byte ends it even as the second byte of a
        // two-byte character; plain lookups of the same key need no brace.
        {"#message={line one\r\nline two}\r\n", "message", "line one\r\nline two", true},
        {"#message={abc\r\nto the end", "message", "abc\r\nto the end", true},
        {"#MESSAGE={Hello}", "message", "Hello", true},
        {"#message={}", "message", "", true},
        {"#message=no brace}", "message", "", true},
        {"#message={\t\x01\0}"_qba, "message", "\t\x01\0"_qba, true},
        {"#message={\x81\x7d\xd6\xf7}", "message", "\x81", true},
        {"#message={x}", "message", "{x}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetInfoValue(c.text, c.key, c.braced), c.value) << c.text.constData();
}

TEST(BuildFileList, UrlSequence) {
    struct Case {
        QByteArray text;
        QList<QByteArray> files;
    };
    const Case cases[] = {
        {"#URL=a", {"a"}},
        {"#url=a\r\n", {"a"}},
        {"#url1=a\n#url2=b\n#url4=d\n", {"a", "b"}},
        {"#url0=a\n#url1=b\n#url2=c\n", {"a", "c"}},
        {"#url=a\n#url1=b\n#url2=c\n", {"a", "c"}},
        {"#url=a\n#url0=b\n#url3=c\n", {"a", "b", "c"}},
        {"#url=a\n#url0=b\n#url1=x\n#url2=y\n#url3=c\n", {"a", "b", "c"}},
        {"#url1=\n#url2=b\n", {}},
        {"#url=\n#url1=b\n", {"b"}},
        {"#url=a\n#url=a\n#url1=a\n", {"a"}},
        {"#url1=a\n#url2=a\n", {"a", "a"}},  // duplicates are kept
        {"#url01=a\n", {}},                  // no leading zeros
        {"no entries here", {}},
        {"#\0u\0r\0l\0=\0a\0"_qba, {}},  // UTF-16 text has no readable entry
        {"#url1=a\n#url2=b\n#url3=c\n#url4=d\n#url5=e\n#url6=f\n#url7=g\n#url8=h\n#url9=i\n"
         "#url10=j\n#url11=k\n",
         {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileListOf(c.text), c.files) << c.text.constData();
}

TEST(BuildFileHashes, EachListedAddressWithItsOwnEntrysHash) {
    const QByteArray a(64, 'a'), b(64, 'b');
    EXPECT_EQ(
        BuildFileHashes("#url=x\n#url_sha256=" + a.toUpper() + "\n#url1=y\n#url1_sha256=" + b),
        (TauFileHashes{{"x", a}}))
        << "after url the numbers go on at url2";
    EXPECT_EQ(BuildFileHashes("#url1=x\n#url2=y\n#url2_sha256=" + b + "\n#url9_sha256=" + a),
              (TauFileHashes{{"y", b}}));
    EXPECT_FALSE(IsSha256Text(
        BuildFileHashes("#url1=x\n#url1_sha256=" + a + "\n#url2=x\n#url2_sha256=" + b).value("x")))
        << "one address with two hashes has none that fits";
    QList<QByteArray> list;
    BuildFileList("#url_sha256=" + a + "\n#url1_sha256=" + b, list);
    EXPECT_TRUE(list.isEmpty()) << "a hash entry is no address";
}

TEST(ReadUpgradeMethod, OnlyTheFirstByteCounts) {
    struct Case {
        const char* text;
        TacUpgradeMethod method;
    };
    const Case cases[] = {
        {"#method=0", umSelfUpgrade},    {"#method=1", umUseExternalSetup},
        {"#method=2", umRedirectToURL},  {"#METHOD=2\r\n", umRedirectToURL},
        {"#method=21", umRedirectToURL}, {"#method=1x", umUseExternalSetup},
        {"#method= 1", umSelfUpgrade},   {"#method=3", umSelfUpgrade},
        {"#method=", umSelfUpgrade},     {"", umSelfUpgrade},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadUpgradeMethod(c.text), c.method) << c.text;
}

TEST(VersionDate, ReadsMonthDayYearAndFallsBackToToday) {
    const TDateTime today = DateTimeFromDate(QDate::currentDate());
    struct Case {
        const char* text;
        QDate date;  // invalid: today
    };
    const Case cases[] = {
        {"12/31/2016", QDate(2016, 12, 31)},
        {"01/03/2017", QDate(2017, 1, 3)},
        {"1/3/2017", QDate(2017, 1, 3)},
        {"01/03/17", QDate(17, 1, 3)},
        {"02/29/2016", QDate(2016, 2, 29)},
        {"12/31/9999", QDate(9999, 12, 31)},
        {"2016-12-31", QDate()},
        {"13/01/2016", QDate()},
        {"02/29/2017", QDate()},
        {"00/10/2016", QDate()},
        {"01/03/0", QDate()},
        {"01/03/10000", QDate()},
        {"01/03/", QDate()},
        {"01/03/2017 ", QDate()},
        {"01//2017", QDate()},
        {"", QDate()},
    };
    for (const Case& c : cases) {
        const TDateTime expected = c.date.isValid() ? DateTimeFromDate(c.date) : today;
        EXPECT_EQ(ParseVersionDate(c.text), expected) << c.text;
    }
}

TEST(VersionDate, WritesTwoDigitMonthAndDayAndFourDigitYear) {
    EXPECT_EQ(FormatVersionDate(DateTimeFromDate(QDate(2017, 1, 3))), "01/03/2017");
    EXPECT_EQ(FormatVersionDate(DateTimeFromDate(QDate(2016, 12, 31)) + 0.75), "12/31/2016");
    EXPECT_EQ(FormatVersionDate(DateTimeFromDate(QDate(17, 1, 3))), "01/03/0017");
    const QByteArray written = FormatVersionDate(DateTimeFromDate(QDate(2016, 2, 29)));
    EXPECT_EQ(ParseVersionDate(written), DateTimeFromDate(QDate(2016, 2, 29)));
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

    const struct {
        const char* what;
        QByteArray info;
        QByteArray signature;
        TauSignatureCheck expected;
    } cases[] = {
        {"pre-hashed", info, hashed, TauSignatureCheck::Valid},
        {"legacy", info, legacy, TauSignatureCheck::Valid},
        {"CR LF line ends", info, QByteArray(hashed).replace("\n", "\r\n"),
         TauSignatureCheck::Valid},
        {"tampered info", info + " ", hashed, TauSignatureCheck::Invalid},
        {"tampered info, legacy", "#" + info.mid(1).toUpper(), legacy, TauSignatureCheck::Invalid},
        {"another key", info, stranger.Sign(info), TauSignatureCheck::OtherKey},
        {"trusted comment changed", info, WithLine(hashed, 2, "trusted comment: other"),
         TauSignatureCheck::Invalid},
        {"signature byte flipped", info, WithLine(hashed, 1, FlipByte(signatureLine, 20)),
         TauSignatureCheck::Invalid},
        {"global signature flipped", info, WithLine(hashed, 3, FlipByte(globalLine, 5)),
         TauSignatureCheck::Invalid},
        {"unknown algorithm", info, WithLine(hashed, 1, "Ex" + signatureLine.mid(2)),
         TauSignatureCheck::Malformed},
        {"three lines", info, hashed.left(hashed.lastIndexOf('\n', hashed.size() - 2)),
         TauSignatureCheck::Malformed},
        {"no untrusted comment", info, WithLine(hashed, 0, "comment: x"),
         TauSignatureCheck::Malformed},
        {"no trusted comment", info, WithLine(hashed, 2, "comment: x"),
         TauSignatureCheck::Malformed},
        {"not base64", info, WithLine(hashed, 1, "!!" + signatureLine.mid(2)),
         TauSignatureCheck::Malformed},
        {"short signature", info, WithLine(hashed, 1, signatureLine.left(60)),
         TauSignatureCheck::Malformed},
        {"empty", info, "", TauSignatureCheck::Malformed},
        {"an HTML page", info, "<html><body>Not found</body></html>\n",
         TauSignatureCheck::Malformed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VerifyMinisignSignature(*key, c.info, c.signature), c.expected) << c.what;
}

TEST(MinisignSignature, PublicKeysInMinisignsFormOnly) {
    const MinisignKeys publisher;
    const QByteArray line = publisher.PublicKey();
    const auto fromLine = ParseMinisignPublicKey(line);
    const auto fromFile = ParseMinisignPublicKey(publisher.PublicKeyFile());
    ASSERT_TRUE(fromLine && fromFile);
    EXPECT_EQ(fromLine->Key, fromFile->Key);
    EXPECT_EQ(fromLine->KeyId, fromFile->KeyId);
    for (const QByteArray& bad :
         {QByteArray(), line.left(40), line + "AAAA", "Xy" + line.mid(2),
          QByteArray("untrusted comment: x\n" + line + "\n" + line), QByteArray::fromBase64(line)})
        EXPECT_FALSE(ParseMinisignPublicKey(bad)) << bad.constData();
}

TEST(FileHash, TheFileMustHaveThePublishedSha256) {
    QTemporaryDir folder;
    const QString file = upgrader_test::WriteFile(folder.filePath("quorvane.uTMP"), "abc");
    const QByteArray abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    EXPECT_TRUE(FileHasSha256(file, abc));
    EXPECT_TRUE(FileHasSha256(file, abc.toUpper()));
    EXPECT_FALSE(FileHasSha256(file, QByteArray(abc).replace('b', 'c')));
    EXPECT_FALSE(FileHasSha256(file, abc.left(63)));
    EXPECT_FALSE(FileHasSha256(file, abc.left(63) + "g"));
    EXPECT_FALSE(FileHasSha256(file, ""));
    EXPECT_FALSE(FileHasSha256(folder.filePath("missing"), abc));
}
