#include <gtest/gtest.h>

#include <QCoreApplication>
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
#include "upgrader/http/custom_http.h"
#include "upgrader/http/status_texts.h"
#include "upgrader/threads/gui_call.h"

using namespace upgrader;
using namespace http_test;
using test_support::ScriptedConnection;
using test_support::ScriptedHttpServer;
using test_support::ScriptedRequest;
using test_support::WaitUntil;

namespace {

// Sends an announced body slowly, piece after piece, until the client goes;
// "/silent" gets no answer at all.
void Trickle(const ScriptedRequest& request, ScriptedConnection& connection) {
    if (request.target == "/silent" || !connection.send("HTTP/1.1 200 OK\r\nContent-Length: "
                                                        "1000000\r\n\r\n")) {
        connection.pause(20000);
        return;
    }
    for (int sent = 0; sent < 1000000 && connection.send(QByteArray(1000, 'z')); sent += 1000)
        connection.pause(20);
}

class Lifecycle : public testing::Test {
  protected:
    Lifecycle() : server_(Trickle), http_(std::make_unique<TauCustomHTTP>()) {
        http_->OutputFileName = folder_.filePath("slow.exe.uTMP");
    }

    ScriptedHttpServer server_;
    QTemporaryDir folder_;
    std::unique_ptr<TauCustomHTTP> http_;
};

// A stop while the body comes (the rest would take 20 s) and while nothing
// arrives (the worker wakes from its 20 s wait at once): reported once, from
// the worker at its next checkpoint or, forced, before Abort returns; a
// created file kept or deleted as asked; the component ready for the next
// transfer.
TEST_F(Lifecycle, AbortStopsTheTransferAndReportsItOnce) {
    const struct {
        const char* path;
        bool deleteFile;
        bool force;
    } cases[] = {{"/slow.exe", false, false}, {"/silent", false, false}, {"/slow.exe", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path << c.deleteFile << c.force);
        const bool quiet = QByteArray(c.path) == "/silent";
        http_->URL = server_.baseUrl().toUtf8() + c.path;
        QFile::remove(http_->OutputFileName);
        EventLog log(*http_);
        ASSERT_TRUE(http_->Read(false));
        EXPECT_FALSE(http_->Read(false)) << "refused while active";
        ASSERT_TRUE(WaitUntil([&] {
            return quiet
                       ? server_.requests().size() > 0 && server_.requests().last().target == c.path
                       : http_->BytesTransferred() >= 5000;
        }));
        http_->Abort(c.deleteFile, c.force);
        EXPECT_EQ(log.Events().contains("TransferAborted"), c.force);
        ASSERT_TRUE(WaitUntil([&] { return log.Events().contains("TransferAborted"); }, 5000));
        test_support::ServeEvents(100);
        EXPECT_EQ(log.Events(), quiet ? QStringList({"BeforeSendRequest", "TransferAborted"})
                                      : QStringList({"BeforeSendRequest", "HeaderInfo",
                                                     "DownloadProgress", "TransferAborted"}));
        EXPECT_EQ(QFileInfo::exists(http_->OutputFileName), !c.deleteFile && !quiet);
        EXPECT_FALSE(http_->Active() || http_->Busy());
    }
    ScriptedHttpServer quick([](const ScriptedRequest&, ScriptedConnection& connection) {
        connection.send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nnext");
    });
    http_->URL = quick.baseUrl().toUtf8() + "/next";
    http_->OutputFileName.clear();
    EXPECT_EQ(Fetch(*http_)->body, "next");
}

// A worker handler that hands a call to the GUI thread while the GUI thread
// stops the transfer by force: neither waits for the other.
TEST_F(Lifecycle, ForcedAbortWhileAWorkerHandlerWaitsForTheGuiThread) {
    std::atomic<bool> inHandler{false}, callRan{false};
    http_->URL = server_.baseUrl().toUtf8() + "/slow.exe";
    http_->OnStatusChange = [&](TauCustomHTTP*, int status, const QString&) {
        if (status == stReceivingResponse && !inHandler.exchange(true))
            RunOnGuiThread([&] { callRan = true; });
    };
    ASSERT_TRUE(http_->Read(false));
    while (!inHandler)  // not serving events: the handler's call stays pending
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    http_->Abort(false, true);
    EXPECT_FALSE(http_->Busy());
    EXPECT_TRUE(WaitUntil([&] { return callRan.load(); }));
}

TEST_F(Lifecycle, DestroyingTheComponentStopsWithoutEvents) {
    auto events = std::make_shared<std::atomic<int>>(0);
    const auto count = [events](auto&&...) { ++*events; };
    const auto end = [events](auto&&...) { *events += 1000; };
    http_->URL = server_.baseUrl().toUtf8() + "/slow.exe";
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
