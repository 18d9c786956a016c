// What the HTTP transfers do not reach of the thread layer: a forced stop of a
// hung worker, a component deleted before it ran, calls served while the GUI
// thread waits, and the work's exception.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <future>
#include <stdexcept>

#include "tests/support/wait.h"
#include "upgrader/threads/custom_thread.h"

using namespace upgrader;
using test_support::WaitUntil;

TEST(TauCustomThread, AForcedStopWhileTheWorkerIsBlocked) {
    TauCustomThread thread;
    std::atomic<int> finished{0}, runs{0};
    thread.OnFinish = [&](TauCustomThread*) { ++finished; };
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> blocked{false}, sawAbandoned{false}, synchronized{false}, returned{false};
    thread.OnExecute = [&, released](TauCustomThread*) {
        if (++runs > 1)
            return;
        blocked = true;
        released.wait();  // not a checkpoint: a platform call that hangs
        const auto run = TauThreadRun::Current();
        sawAbandoned = !run->Checkpoint() && run->Abandoned();
        SynchronizeRun(run, [&] { synchronized = true; });
        returned = true;
    };
    thread.Execute();
    ASSERT_TRUE(WaitUntil([&] { return blocked.load(); }));
    thread.Terminate(true);  // returns at once, the worker still hangs
    EXPECT_FALSE(thread.Running());

    release.set_value();
    ASSERT_TRUE(WaitUntil([&] { return returned.load(); }));
    EXPECT_TRUE(sawAbandoned);
    test_support::ServeEvents(50);
    EXPECT_FALSE(synchronized);
    EXPECT_EQ(finished, 0) << "no handler of the abandoned run";

    thread.Execute();  // the fresh worker runs with the same handlers
    ASSERT_TRUE(WaitUntil([&] { return finished == 1; }));
    EXPECT_EQ(runs, 2);
}

TEST(TauCustomThread, AThreadDeletedBeforeItRanEndsAtOnce) {
    QString task;  // the kernel's entry of the thread
    std::atomic<bool> worked{false};
    {
        TauCustomThread thread;
        thread.OnExecute = thread.OnFinish = [&](TauCustomThread*) { worked = true; };
        task = QStringLiteral("/proc/self/task/%1").arg(thread.ThreadID());
        ASSERT_TRUE(QFileInfo::exists(task)) << "the OS thread exists, suspended";
    }
    EXPECT_TRUE(WaitUntil([&] { return !QFileInfo::exists(task); }));
    EXPECT_FALSE(worked) << "neither the work nor OnFinish";
}

TEST(TauCustomThread, SynchronizeServedWhileTheGuiThreadWaitsInWaitForSignal) {
    TauCustomThread thread;
    TauSignal done;
    std::atomic<int> calls{0};
    bool ranOnGui = true;
    thread.OnExecute = [&](TauCustomThread* sender) {
        for (int i = 0; i < 20; ++i)
            sender->Synchronize([&] {
                ranOnGui = ranOnGui && QThread::currentThread() == qApp->thread();
                ++calls;
            });
        sender->Synchronize([&] { SignalEvent(done); });
    };
    thread.Execute();
    EXPECT_EQ(WaitForSignal(done, 20000, true), TauWaitEnd::Signalled);
    EXPECT_EQ(calls, 20) << "the worker waited for each call";
    EXPECT_TRUE(ranOnGui);
}

TEST(TauCustomThread, AnExceptionOfTheWorkReachesOnExceptionBeforeOnFinish) {
    TauCustomThread thread;
    std::vector<std::string> order;
    thread.OnException = [&](TauCustomThread*) { order.push_back("exception"); };
    thread.OnFinish = [&](TauCustomThread*) { order.push_back("finish"); };
    thread.OnExecute = [](TauCustomThread*) { throw std::runtime_error("broken transfer"); };
    thread.Execute();
    ASSERT_TRUE(WaitUntil([&] { return order.size() == 2 && !thread.Running(); }));
    EXPECT_EQ(order, (std::vector<std::string>{"exception", "finish"}));
}
