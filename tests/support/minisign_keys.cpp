#include "tests/support/minisign_keys.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "tests/support/file_contents.h"

namespace test_support {

namespace {

void RunMinisign(const QStringList& Arguments) {
    QProcess minisign;
    minisign.setProcessChannelMode(QProcess::MergedChannels);
    minisign.start(QStringLiteral("minisign"), Arguments);
    const bool finished = minisign.waitForFinished(30000);
    EXPECT_TRUE(finished && minisign.exitCode() == 0)
        << "minisign " << Arguments.join(' ').toStdString() << ": "
        << minisign.readAll().toStdString();
}

}  // namespace

MinisignKeys::MinisignKeys() {
    RunMinisign({"-G", "-W", "-p", folder_.filePath("key.pub"), "-s", folder_.filePath("key.sec")});
}

QByteArray MinisignKeys::PublicKeyFile() const {
    return ReadFile(folder_.filePath("key.pub"));
}

QByteArray MinisignKeys::PublicKey() const {
    return PublicKeyFile().split('\n').value(1).trimmed();
}

QByteArray MinisignKeys::Sign(const QByteArray& Bytes, bool Legacy,
                              const QByteArray& TrustedComment) const {
    const QString signedFile = folder_.filePath("signed");
    WriteFile(signedFile, Bytes);
    const QString comment = TrustedComment.isEmpty() ? "Quorvane test release" : TrustedComment;
    QStringList arguments{"-S", "-s", folder_.filePath("key.sec"), "-m", signedFile, "-t", comment};
    if (Legacy)
        arguments << "-l";
    RunMinisign(arguments);
    return ReadFile(signedFile + ".minisig");
}

}  // namespace test_support
