#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/nginx_server.h"
#include "tests/upgrader/http/http_event_log.h"
#include "upgrader/http/custom_http.h"

using namespace upgrader;
using http_test::EventLog;

namespace {

QByteArray Pattern(qsizetype size, int seed = 0) {
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char((i * 7 + seed * 13 + i / 251) & 0xFF);
    return data;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class NginxTransfer : public testing::Test {
  protected:
    NginxTransfer() : server_(test_support::NginxServer::Options{}) {}

    QByteArray Url(const QString& path) const { return (server_.baseUrl() + path).toUtf8(); }

    test_support::NginxServer server_;
    QTemporaryDir folder_;
};

TEST_F(NginxTransfer, FileToDiskAndToMemory) {
    const QByteArray content = Pattern(300000);
    server_.writeFile("update/quorvane.exe", content);

    TauCustomHTTP http;
    EventLog log(http);
    http.URL = Url("/update/quorvane.exe");
    http.OutputFileName = folder_.filePath("quorvane.exe.uTMP");
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(log.Events(),
              QStringList({"BeforeSendRequest", "HeaderInfo", "DownloadProgress", "Done"}));
    EXPECT_TRUE(log.AllGuiEventsOnGuiThread());
    EXPECT_EQ(ReadFile(http.OutputFileName), content);
    EXPECT_TRUE(log.doneStreamNull) << "the body went to the file";
    EXPECT_EQ(log.doneFileSize, content.size());
    EXPECT_EQ(log.headerStatus, 200);
    EXPECT_EQ(log.headerLength, content.size());
    EXPECT_EQ(log.lastPercent, 100);
    EXPECT_LE(log.largestChunk, 4096) << "chunks never exceed the buffer size";
    EXPECT_GE(log.ProgressCount(), int(content.size() / 4096));
    EXPECT_FALSE(http.Active());
    EXPECT_FALSE(http.Busy());

    EventLog memoryLog(http);
    http.OutputFileName.clear();
    http.TransferBufferSize = 255;
    ASSERT_TRUE(http.Read(true));
    EXPECT_EQ(memoryLog.Events(),
              QStringList({"BeforeSendRequest", "HeaderInfo", "DownloadProgress", "Done"}));
    EXPECT_EQ(memoryLog.body, content);
    EXPECT_FALSE(memoryLog.doneStreamNull);
    EXPECT_LE(memoryLog.largestChunk, 255);
}

}  // namespace
