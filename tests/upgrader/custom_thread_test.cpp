#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

#include "tests/support/wait.h"
#include "upgrader/threads/custom_thread.h"
#include "upgrader/threads/gui_call.h"

using namespace upgrader;
using test_support::WaitUntil;

namespace {

bool OnGuiThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// The kernel drops a thread's entry shortly after the thread has ended.
bool ThreadGoesAway(quint32 threadId) {
    return WaitUntil(
        [&] { return !QFileInfo::exists(QStringLiteral("/proc/self/task/%1").arg(threadId)); },
        5000);
}

bool ThreadExists(quint32 threadId) {
    return QFileInfo::exists(QStringLiteral("/proc/self/task/%1").arg(threadId));
}

// Work that goes on, checkpoint after checkpoint, until its run is stopped;
// it notes that it saw the stop and whether it was by force.
struct LoopingWork {
    std::atomic<int> rounds{0};
    std::atomic<bool> sawStop{false};
    std::atomic<bool> sawAbandoned{false};
    std::atomic<quint32> threadId{0};

    void operator()() {
        const auto run = TauThreadRun::Current();
        threadId = static_cast<quint32>(::gettid());
        while (run->Checkpoint()) {
            ++rounds;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        sawAbandoned = run->Abandoned();
        sawStop = true;
    }
};

// Counts the OnFinish calls of a component.
struct Calls {
    std::atomic<int> finished{0};

    explicit Calls(TauCustomThread& thread) {
        thread.OnFinish = [this](TauCustomThread*) { ++finished; };
    }
};

}  // namespace

TEST(TauCustomThread, ExecuteTwiceStartsANewThreadAndCarriesTheHandlersOver) {
    TauCustomThread thread;
    Calls calls(thread);
    LoopingWork first;
    LoopingWork second;
    std::atomic<int> starts{0};
    thread.OnExecute = [&](TauCustomThread*) { (++starts == 1 ? first : second)(); };
    thread.SetPriority(tpLower);
    thread.Execute();
    ASSERT_TRUE(WaitUntil([&] { return first.rounds > 0; }));
    const quint32 firstThread = thread.ThreadID();
    EXPECT_EQ(first.threadId, firstThread);

    thread.Execute();
    ASSERT_TRUE(WaitUntil([&] { return first.sawStop && second.rounds > 0; }));
    EXPECT_TRUE(first.sawAbandoned);
    EXPECT_NE(second.threadId, firstThread);
    EXPECT_EQ(thread.ThreadID(), second.threadId);
    EXPECT_EQ(thread.Priority(), tpLower) << "the priority goes to the new thread";

    thread.Terminate(false);
    ASSERT_TRUE(WaitUntil([&] { return calls.finished == 1; }));
    test_support::ServeEvents(50);
    EXPECT_EQ(calls.finished, 1) << "the abandoned run never finishes";
    EXPECT_FALSE(second.sawAbandoned) << "a cooperative stop";
    EXPECT_TRUE(thread.Terminated());
}

TEST(TauCustomThread, AThreadDeletedBeforeItRanEndsAtOnce) {
    quint32 threadId = 0;
    {
        TauEventThread never;
        threadId = never.ThreadID();
        ASSERT_NE(threadId, 0u);
        EXPECT_TRUE(ThreadExists(threadId)) << "the OS thread exists, suspended";
        EXPECT_TRUE(never.Suspended());
        EXPECT_FALSE(never.Started());
    }
    EXPECT_TRUE(ThreadGoesAway(threadId)) << "ended when deleted";

    std::atomic<bool> worked{false};
    {
        TauCustomThread thread;
        thread.OnExecute = thread.OnFinish = [&](TauCustomThread*) { worked = true; };
        threadId = thread.ThreadID();
    }
    EXPECT_TRUE(ThreadGoesAway(threadId));
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
                ranOnGui = ranOnGui && OnGuiThread();
                ++calls;
            });
        sender->Synchronize([&] { SignalEvent(done); });
    };
    thread.Execute();
    EXPECT_EQ(WaitForSignal(done, 20000, true), TauWaitEnd::Signalled);
    EXPECT_EQ(calls, 20) << "the worker waited for each call";
    EXPECT_TRUE(ranOnGui);
}

TEST(TauCustomThread, ACallsNestedEventLoopServesAnotherWorkersCalls) {
    // A call that runs a nested event loop (a modal window does) until a
    // second worker's call has run there.
    TauCustomThread first;
    TauCustomThread second;
    TauSignal secondServed;
    std::atomic<bool> firstDone{false};
    first.OnExecute = [&](TauCustomThread* sender) {
        sender->Synchronize([&] {
            second.Execute();
            EXPECT_EQ(WaitForSignal(secondServed, 20000, true), TauWaitEnd::Signalled);
        });
        firstDone = true;
    };
    second.OnExecute = [&](TauCustomThread* sender) {
        for (int i = 0; i < 3; ++i)
            sender->Synchronize([] {});
        sender->Synchronize([&] { SignalEvent(secondServed); });
    };
    first.Execute();
    EXPECT_TRUE(WaitUntil([&] { return firstDone.load(); }, 30000));
}

TEST(TauCustomThread, ExceptionsOfTheWorkAndOfMarshalledCalls) {
    TauCustomThread thread;
    std::vector<std::string> order;
    thread.OnException = [&](TauCustomThread*) { order.push_back("exception"); };
    thread.OnFinish = [&](TauCustomThread*) { order.push_back("finish"); };
    thread.OnExecute = [](TauCustomThread*) { throw std::runtime_error("broken transfer"); };
    thread.Execute();
    ASSERT_TRUE(WaitUntil([&] { return order.size() == 2 && !thread.Running(); }));
    EXPECT_EQ(order, (std::vector<std::string>{"exception", "finish"}));

    // A marshalled call's exception is dropped with HandleExceptions...
    std::atomic<bool> reachedEnd{false};
    thread.OnExecute = [&](TauCustomThread* sender) {
        sender->Synchronize([] { throw std::runtime_error("handler failed"); });
        reachedEnd = true;
    };
    order.clear();
    thread.Execute();
    ASSERT_TRUE(WaitUntil([&] { return order.size() == 1; }));
    EXPECT_TRUE(reachedEnd);
    EXPECT_EQ(order, std::vector<std::string>{"finish"});

    // ... and raised again on the worker without; the work's own exceptions
    // are then not reported, and the run still finishes.
    thread.HandleExceptions = false;
    reachedEnd = false;
    std::atomic<bool> caughtOnWorker{false};
    thread.OnExecute = [&](TauCustomThread* sender) {
        try {
            sender->Synchronize([] { throw std::runtime_error("handler failed"); });
        } catch (const std::runtime_error&) {
            caughtOnWorker = !IsGuiThread();
        }
        throw std::logic_error("unhandled");
    };
    order.clear();
    thread.Execute();
    ASSERT_TRUE(WaitUntil([&] { return order.size() == 1; }));
    EXPECT_TRUE(caughtOnWorker);
    EXPECT_EQ(order, std::vector<std::string>{"finish"});
}

TEST(TauCustomThread, AForcedStopWhileTheWorkerIsBlocked) {
    TauCustomThread thread;
    Calls calls(thread);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> blocked{false};
    std::atomic<bool> sawAbandoned{false};
    std::atomic<bool> synchronizedAfterStop{false};
    std::atomic<bool> firstReturned{false};
    std::atomic<int> runs{0};
    thread.OnExecute = [&, released](TauCustomThread*) {
        if (++runs > 1)
            return;
        blocked = true;
        released.wait();  // not a checkpoint: a platform call that hangs
        const auto run = TauThreadRun::Current();
        sawAbandoned = !run->Checkpoint() && run->Abandoned();
        SynchronizeRun(run, [&] { synchronizedAfterStop = true; });
        firstReturned = true;
    };
    thread.Execute();
    ASSERT_TRUE(WaitUntil([&] { return blocked.load(); }));
    const quint32 blockedThread = thread.ThreadID();

    thread.Terminate(true);  // returns at once, the worker still hangs
    EXPECT_FALSE(thread.Running());
    EXPECT_TRUE(thread.Suspended()) << "a fresh, unstarted worker";
    EXPECT_FALSE(thread.Terminated());
    EXPECT_NE(thread.ThreadID(), blockedThread);

    release.set_value();
    ASSERT_TRUE(WaitUntil([&] { return firstReturned.load(); }));
    EXPECT_TRUE(sawAbandoned);
    test_support::ServeEvents(50);
    EXPECT_FALSE(synchronizedAfterStop);
    EXPECT_EQ(calls.finished, 0);

    thread.Execute();  // the fresh worker runs with the same handlers
    ASSERT_TRUE(WaitUntil([&] { return calls.finished == 1; }));
    EXPECT_EQ(runs, 2);
}

TEST(TauCustomThread, TheWorkMayStopItsOwnRun) {
    TauCustomThread thread;
    Calls calls(thread);
    std::atomic<bool> abandonedAfter{false};
    thread.OnExecute = [&](TauCustomThread* sender) {
        sender->Terminate(true);
        abandonedAfter = TauThreadRun::Current()->Abandoned();
    };
    thread.Execute();
    ASSERT_TRUE(WaitUntil([&] { return abandonedAfter && !thread.Running(); }));
    test_support::ServeEvents(50);
    EXPECT_EQ(calls.finished, 0) << "no OnFinish after the work ended its run";
}

TEST(TauCustomThread, WaitForCompletionKeepsServingAndHonoursTheTimeOut) {
    TauCustomThread thread;
    Calls calls(thread);
    thread.WaitForCompletion = true;
    std::atomic<int> synchronized{0};
    thread.OnExecute = [&](TauCustomThread* sender) {
        for (int i = 0; i < 5; ++i)
            sender->Synchronize([&] { ++synchronized; });
    };
    EXPECT_TRUE(thread.Execute());
    EXPECT_EQ(synchronized, 5);
    EXPECT_EQ(calls.finished, 1) << "returns after OnFinish";
    EXPECT_FALSE(thread.Running());

    LoopingWork work;
    thread.OnExecute = [&](TauCustomThread*) { work(); };
    thread.WaitTimeout = 100;
    int timeouts = 0;
    thread.OnWaitTimeout = [&](TauCustomThread*, bool& terminate) {
        ++timeouts;
        EXPECT_TRUE(terminate);
        terminate = timeouts > 1;
    };
    EXPECT_TRUE(thread.Execute()) << "the handler let it run on";
    EXPECT_FALSE(work.sawStop);
    EXPECT_TRUE(thread.Running());

    LoopingWork next;
    thread.OnExecute = [&](TauCustomThread*) { next(); };
    EXPECT_FALSE(thread.Execute()) << "this time the handler stops it";
    ASSERT_TRUE(WaitUntil([&] { return work.sawStop && next.sawStop; }));
    EXPECT_TRUE(next.sawAbandoned);
    EXPECT_EQ(timeouts, 2);
    EXPECT_EQ(calls.finished, 1);
}

TEST(TauCustomThread, WaitForCompletionEndsWhenTheComponentIsDestroyed) {
    auto thread = std::make_unique<TauCustomThread>();
    LoopingWork work;
    thread->OnExecute = [&](TauCustomThread*) { work(); };
    thread->WaitForCompletion = true;
    QTimer::singleShot(50, [&] { thread.reset(); });
    EXPECT_TRUE(thread->Execute());
    EXPECT_EQ(thread, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return work.sawStop.load(); }));
    EXPECT_TRUE(work.sawAbandoned);
}

namespace {

// Takes the right to raise priorities from the calling thread for its scope.
class WithoutNiceRight {
  public:
    WithoutNiceRight() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        ::syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~(1u << CAP_SYS_NICE);
        ::syscall(SYS_capset, &header_, reduced);
    }
    ~WithoutNiceRight() { ::syscall(SYS_capset, &header_, saved_); }

  private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
};

}  // namespace

// Members the upgrader itself does not use: suspending at checkpoints (one
// Resume per Suspend), the owner freed when done, and priorities as the
// thread's nice values (a refused raise keeps the old one).
TEST(TauCustomThread, SuspensionOwnerAndPriority) {
    auto* owner = new QObject;
    QPointer<QObject> ownerAlive = owner;
    auto* thread = new TauCustomThread(owner);
    LoopingWork work;
    thread->OnExecute = [&](TauCustomThread*) { work(); };
    thread->Suspend();
    thread->Terminate(false);
    const quint32 unstarted = thread->ThreadID();
    thread->Execute();  // a fresh worker: earlier suspensions and stops do not carry over
    ASSERT_TRUE(WaitUntil([&] { return work.rounds > 0; }));
    EXPECT_NE(thread->ThreadID(), unstarted);
    thread->Suspend();
    thread->Suspend();
    test_support::ServeEvents(20);
    const int pausedAt = work.rounds;
    test_support::ServeEvents(50);
    EXPECT_EQ(work.rounds, pausedAt) << "paused at its checkpoint";
    thread->Resume();
    EXPECT_TRUE(thread->Suspended()) << "each Suspend needs its Resume";
    thread->Resume();
    ASSERT_TRUE(WaitUntil([&] { return work.rounds > pausedAt; }));
    thread->Suspend();
    thread->FreeOwnerWhenDone = true;
    thread->Terminate(false);  // a suspended run still sees the stop
    ASSERT_TRUE(WaitUntil([&] { return ownerAlive.isNull(); }));
    EXPECT_TRUE(work.sawStop);

    TauCustomThread other;
    ASSERT_EQ(setpriority(PRIO_PROCESS, other.ThreadID(), 5), 0);
    EXPECT_EQ(other.Priority(), tpNormal) << "a nice value outside the table";
    other.SetPriority(static_cast<TThreadPriority>(42));
    EXPECT_EQ(getpriority(PRIO_PROCESS, other.ThreadID()), 5) << "no such priority: unchanged";
    other.SetPriority(tpLowest);
    EXPECT_EQ(getpriority(PRIO_PROCESS, other.ThreadID()), 2);
    {
        WithoutNiceRight unprivileged;
        other.SetPriority(tpHighest);  // raising needs the right
    }
    EXPECT_EQ(other.Priority(), tpLowest) << "a refused value keeps the old one";
    other.SetPriority(tpTimeCritical);
    EXPECT_EQ(other.Priority(), tpTimeCritical) << "with the right it is taken";
    other.SetPriority(tpIdle);
    EXPECT_EQ(getpriority(PRIO_PROCESS, other.ThreadID()), 15);
    std::atomic<int> niceInWork{99};
    other.OnExecute = [&](TauCustomThread*) { niceInWork = getpriority(PRIO_PROCESS, 0); };
    other.WaitForCompletion = true;
    other.Execute();
    EXPECT_EQ(niceInWork, 15) << "the run has the priority set before it started";
    EXPECT_EQ(other.Priority(), tpIdle) << "kept after the thread ended";
}
