// The publisher's signature and the files' hashes, checked against what the
// real minisign writes.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/support/minisign_keys.h"
#include "upgrader/verification/file_hash.h"
#include "upgrader/verification/minisign_signature.h"

using namespace upgrader;
using test_support::MinisignKeys;

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
    QFile file(folder.filePath("quorvane.uTMP"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("abc");
    file.close();
    const QByteArray abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    EXPECT_TRUE(FileHasSha256(file.fileName(), abc));
    EXPECT_TRUE(FileHasSha256(file.fileName(), abc.toUpper()));
    EXPECT_FALSE(FileHasSha256(file.fileName(), QByteArray(abc).replace('b', 'c')));
    EXPECT_FALSE(FileHasSha256(file.fileName(), abc.left(63)));
    EXPECT_FALSE(FileHasSha256(file.fileName(), abc.left(63) + "g"));
    EXPECT_FALSE(FileHasSha256(file.fileName(), ""));
    EXPECT_FALSE(FileHasSha256(folder.filePath("missing"), abc));
}
