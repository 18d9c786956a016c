#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <thread>

#include "tests/support/qt_printers.h"
#include "tests/support/scripted_http_server.h"
#include "tests/support/wait.h"
#include "tests/upgrader/http/http_event_log.h"
#include "tests/upgrader/test_files.h"
#include "upgrader/http/custom_http.h"
#include "upgrader/http/status_texts.h"
#include "upgrader/threads/gui_call.h"

using namespace upgrader;
using namespace http_test;
using namespace upgrader_test;
using test_support::ScriptedConnection;
using test_support::ScriptedHttpServer;
using test_support::ScriptedRequest;
using test_support::WaitUntil;

namespace {

// Sends an announced body slowly, piece after piece, until the client goes.
ScriptedHttpServer::Script Trickle(qint64 length) {
    return [length](const ScriptedRequest&, ScriptedConnection& connection) {
        if (!connection.send("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(length) +
                             "\r\n\r\n"))
            return;
        for (qint64 sent = 0; sent < length; sent += 1000) {
            if (!connection.send(QByteArray(1000, 'z')))
                return;
            connection.pause(20);
        }
    };
}

// Answers every request with the text.
ScriptedHttpServer::Script Quick(const QByteArray& body) {
    return [body](const ScriptedRequest&, ScriptedConnection& connection) {
        connection.send("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                        "\r\n\r\n" + body);
    };
}

class Lifecycle : public testing::Test {
  protected:
    Lifecycle() : server_(Trickle(1000000)) {
        http_ = std::make_unique<TauCustomHTTP>();
        http_->URL = server_.baseUrl().toUtf8() + "/slow.exe";
        http_->OutputFileName = folder_.filePath("slow.exe.uTMP");
    }

    ScriptedHttpServer server_;
    QTemporaryDir folder_;
    std::unique_ptr<TauCustomHTTP> http_;
};

// A forced abort from a handler cleans up before it returns, and a waiting
// Read returns after it.
TEST_F(Lifecycle, ForcedAbortCleansUpBeforeReturning) {
    EventLog log(*http_);
    bool abortedBeforeReturn = false;
    int progress = 0;
    http_->OnDownloadProgress = [&](TauCustomHTTP* sender, const QByteArray&, qint64, qint64,
                                    qint32, qint32, quint8, float, QIODevice*) {
        log.Note("DownloadProgress");
        EXPECT_FALSE(sender->Read(false)) << "refused while active";
        if (++progress == 3) {
            sender->Abort(true, true);
            abortedBeforeReturn = log.Events().contains("TransferAborted");
        }
    };
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(http_->Read(true));
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_TRUE(abortedBeforeReturn);
    test_support::ServeEvents(200);
    EXPECT_EQ(log.Events(), QStringList({"BeforeSendRequest", "HeaderInfo", "DownloadProgress",
                                         "TransferAborted"}));
    EXPECT_EQ(progress, 3) << "no handler of the abandoned run is called";
    EXPECT_FALSE(QFileInfo::exists(http_->OutputFileName)) << "deleted as asked";
    EXPECT_FALSE(http_->Active() || http_->Busy());

    // The component is ready for the next transfer at once.
    ScriptedHttpServer quick(Quick("next"));
    http_->URL = quick.baseUrl().toUtf8() + "/next";
    http_->OutputFileName.clear();
    EXPECT_EQ(Fetch(*http_)->body, "next");
}

// A worker handler that hands a call to the GUI thread while the GUI thread
// stops the transfer by force: neither waits for the other.
TEST_F(Lifecycle, ForcedAbortWhileAWorkerHandlerWaitsForTheGuiThread) {
    std::atomic<bool> inHandler{false}, callRan{false};
    http_->OnStatusChange = [&](TauCustomHTTP*, int status, const QString&) {
        if (status == stReceivingResponse && !inHandler.exchange(true))
            RunOnGuiThread([&] { callRan = true; });
    };
    ASSERT_TRUE(http_->Read(false));
    while (!inHandler)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    http_->Abort(false, true);
    EXPECT_FALSE(http_->Busy());
    EXPECT_TRUE(WaitUntil([&] { return callRan.load(); }));
}

// A stop at the next checkpoint, while the body comes (the rest would take
// 20 s) and while nothing arrives (the worker wakes from its 20 s wait at
// once): reported once, from the worker, and the file kept as asked.
TEST_F(Lifecycle, AbortAtTheNextCheckpointKeepsTheFile) {
    ScriptedHttpServer silent(
        [](const ScriptedRequest&, ScriptedConnection& connection) { connection.pause(20000); });
    for (const bool quiet : {false, true}) {
        if (quiet)
            http_->URL = silent.baseUrl().toUtf8() + "/silent";
        EventLog log(*http_);
        ASSERT_TRUE(http_->Read(false));
        ASSERT_TRUE(WaitUntil([&] {
            return quiet ? silent.requests().size() == 1 : http_->BytesTransferred() >= 5000;
        }));
        QElapsedTimer timer;
        timer.start();
        http_->Abort(false, false);
        EXPECT_FALSE(log.Events().contains("TransferAborted")) << "it comes from the worker";
        ASSERT_TRUE(WaitUntil([&] { return log.Events().contains("TransferAborted"); }));
        EXPECT_LT(timer.elapsed(), 5000);
        test_support::ServeEvents(100);
        EXPECT_EQ(log.Events(), quiet ? QStringList({"BeforeSendRequest", "TransferAborted"})
                                      : QStringList({"BeforeSendRequest", "HeaderInfo",
                                                     "DownloadProgress", "TransferAborted"}));
        EXPECT_TRUE(QFileInfo::exists(http_->OutputFileName)) << "kept as asked";
        EXPECT_FALSE(http_->Active());
    }
}

TEST_F(Lifecycle, DestroyingTheComponentStopsWithoutEvents) {
    auto events = std::make_shared<std::atomic<int>>(0);
    const auto count = [events](auto&&...) { ++*events; };
    const auto end = [events](auto&&...) { *events += 1000; };
    http_->OnDownloadProgress = count;
    http_->OnStatusChange = count;
    http_->OnDone = end;
    http_->OnDoneInterrupted = end;
    http_->OnTransferAborted = http_->OnAnyError = end;
    ASSERT_TRUE(http_->Read(false));
    ASSERT_TRUE(WaitUntil([&] { return http_->BytesTransferred() >= 3000; }));
    http_.reset();
    const int seen = *events;
    test_support::ServeEvents(300);
    EXPECT_EQ(*events, seen) << "nothing after the component is gone";
    EXPECT_LT(seen, 1000);
}

TEST_F(Lifecycle, WaitingReadThatTimesOut) {
    http_->WaitTimeout = 200;
    bool asked = false;
    EventLog log(*http_);
    http_->OnWaitTimeoutExpired = [&](TauCustomHTTP*, bool& terminate) {
        asked = true;
        EXPECT_TRUE(terminate) << "stopping is proposed";
    };
    EXPECT_FALSE(http_->Read(true)) << "the wait expired and the transfer was stopped";
    EXPECT_TRUE(asked);
    EXPECT_FALSE(http_->Active());
    test_support::ServeEvents(200);
    EXPECT_FALSE(log.Events().contains("Done"));
    EXPECT_TRUE(QFileInfo::exists(http_->OutputFileName));
}

TEST_F(Lifecycle, ThrowingHandlersLeaveTheComponentUsable) {
    ScriptedHttpServer quick(Quick("ok"));
    http_->URL = quick.baseUrl().toUtf8() + "/f";
    EventLog log(*http_);
    http_->OnDone = [&](TauCustomHTTP*, const QByteArray&, qint64, QIODevice*) {
        log.Note("Done");
        throw std::runtime_error("handler failed");
    };
    EXPECT_TRUE(http_->Read(true));
    EXPECT_EQ(log.Events().mid(3), QStringList({"Done", "AnyError"}));
    EXPECT_FALSE(http_->Active()) << "the output was released all the same";
    EXPECT_EQ(ReadFile(http_->OutputFileName), "ok");

    http_->URL = server_.baseUrl().toUtf8() + "/slow.exe";
    http_->OnTransferAborted = [](TauCustomHTTP*) { throw std::runtime_error("handler failed"); };
    ASSERT_TRUE(http_->Read(false));
    ASSERT_TRUE(WaitUntil([&] { return http_->BytesTransferred() > 0; }));
    EXPECT_NO_THROW(http_->Abort(false, true));
    EXPECT_FALSE(http_->Active());
}

TEST(LifecycleEnd, ComponentDeletedByItsOwnHandler) {
    ScriptedHttpServer quick(Quick("ok"));
    for (const bool inDone : {true, false}) {
        auto* http = new TauCustomHTTP;
        http->URL = quick.baseUrl().toUtf8() + "/f";
        bool deleted = false;
        const auto remove = [&deleted](TauCustomHTTP* sender) {
            deleted = true;  // before: the handler goes with the component
            delete sender;
        };
        if (inDone)
            http->OnDone = [&](TauCustomHTTP* sender, auto&&...) { remove(sender); };
        else
            http->OnDownloadProgress = [&](TauCustomHTTP* sender, auto&&...) { remove(sender); };
        ASSERT_TRUE(http->Read(false));
        ASSERT_TRUE(WaitUntil([&] { return deleted; }));
        test_support::ServeEvents(100);  // whatever was still on its way finds nothing
    }
}

TEST(FileUrl, LocalFilesAreReadLikeAnswers) {
    QTemporaryDir folder;
    const QByteArray content = Pattern(20000, 4);
    WriteFile(folder.filePath("local file.bin"), content);
    TauCustomHTTP http;
    http.URL = "file://" + QFile::encodeName(folder.path()) + "/local%20file.bin";
    auto log = Fetch(http);
    EXPECT_EQ(log->Events(), QStringList({"DownloadProgress", "Done"})) << "no headers to tell";
    EXPECT_EQ(log->body, content);
    EXPECT_EQ(Fetch(http, 1000, 1999)->body, content.mid(1000, 1000));

    // Resumed into a file that holds the start already.
    http.OutputFileName = folder.filePath("copy.uTMP");
    WriteFile(http.OutputFileName, content.left(5000));
    log = Fetch(http, 4000);
    EXPECT_EQ(log->Events().last(), "Done");
    EXPECT_EQ(ReadFile(http.OutputFileName), content);
    EXPECT_EQ(log->doneFileSize, content.size());
    EXPECT_EQ(Fetch(http, content.size() + 1)->httpError, 416);

    http.OutputFileName.clear();
    http.URL = "file://" + QFile::encodeName(folder.path()) + "/missing.bin";
    log = Fetch(http);
    EXPECT_EQ(log->Events(), QStringList({"HTTPError", "AnyError"}));
    EXPECT_EQ(log->httpError, 404);
    EXPECT_TRUE(log->body.isEmpty());
}

}  // namespace

// A program that destroys a component in mid-transfer and returns from main
// at once ends cleanly, every time (its worker is joined before the exit
// handlers of libcurl and OpenSSL run).
TEST(ProgramExit, ADestroyedBusyComponentDoesNotCrashTheExit) {
    ScriptedHttpServer server([](const ScriptedRequest&, ScriptedConnection& connection) {
        if (!connection.send("HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\n"))
            return;
        while (connection.send(QByteArray(4096, 'z'))) {
        }
    });
    const QString probe = QCoreApplication::applicationDirPath() + "/busy_exit_probe";
    for (int run = 0; run < 200; ++run) {
        QProcess process;
        process.start(probe, {server.baseUrl() + "/big.bin"});
        ASSERT_TRUE(process.waitForFinished(20000)) << run;
        ASSERT_EQ(process.exitStatus(), QProcess::NormalExit)
            << run << process.readAllStandardError().toStdString();
        ASSERT_EQ(process.exitCode(), 0) << run;
    }
}
