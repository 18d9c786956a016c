#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QTimer>

#include "upgrader/utils/close_application.h"
#include "upgrader/utils/wait_for_signal.h"

using namespace upgrader;

TEST(WaitForSignal, EndsWhenAHandlerSignalsAndKeepsServingEvents) {
    TauSignal signal;
    EXPECT_FALSE(signal.IsLive());
    SignalEvent(signal);  // nothing waits: nothing happens

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (++ticks == 5)
            SignalEvent(signal);
    });
    ticker.start(5);
    bool liveDuringWait = false;
    QTimer::singleShot(0, [&] { liveDuringWait = signal.IsLive(); });
    EXPECT_EQ(WaitForSignal(signal, 0, true), TauWaitEnd::Signalled);
    EXPECT_EQ(ticks, 5);
    EXPECT_TRUE(liveDuringWait);
    EXPECT_FALSE(signal.IsLive());
    SignalEvent(signal);  // after the wait: nothing happens
}

TEST(WaitForSignal, TimeOutCountsFromTheStartOfTheWait) {
    TauSignal signal;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(2);
    EXPECT_EQ(WaitForSignal(signal, 100, true), TauWaitEnd::TimedOut)
        << "events arriving all the time do not prolong the wait";
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(signal.IsLive());
}

TEST(WaitForSignal, NestedWaitsOnOneSignalEndInnermostFirst) {
    TauSignal signal;
    TauWaitEnd inner = TauWaitEnd::TimedOut;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(10, [&] { SignalEvent(signal); });
        inner = WaitForSignal(signal, 0, true);
        EXPECT_TRUE(signal.IsLive()) << "the outer wait is live again";
        SignalEvent(signal);
    });
    EXPECT_EQ(WaitForSignal(signal, 5000, true), TauWaitEnd::Signalled);
    EXPECT_EQ(inner, TauWaitEnd::Signalled);
}

TEST(WaitForSignal, ApplicationQuitEndsTheWaitUnlessToldOtherwise) {
    TauSignal signal;
    TauWaitEnd stopping = TauWaitEnd::Signalled;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(10, &QCoreApplication::quit);
        stopping = WaitForSignal(signal, 10000, true);
    });
    QApplication::exec();
    EXPECT_EQ(stopping, TauWaitEnd::AppTerminating);

    TauWaitEnd staying = TauWaitEnd::AppTerminating;
    bool signalledLater = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(10, &QCoreApplication::quit);
        QTimer::singleShot(60, [&] {
            signalledLater = true;
            SignalEvent(signal);
        });
        staying = WaitForSignal(signal, 10000, false);
    });
    QApplication::exec();
    EXPECT_EQ(staying, TauWaitEnd::Signalled);
    EXPECT_TRUE(signalledLater);
}

namespace {

class StubbornWindow : public QMainWindow {
  public:
    bool refuse = false;
    int closeRequests = 0;

  protected:
    void closeEvent(QCloseEvent* event) override {
        ++closeRequests;
        if (refuse)
            event->ignore();
        else
            event->accept();
    }
};

}  // namespace

// The program's main window may be a plain top-level widget, not a
// QMainWindow; its dialogs close with it, and a window that refuses keeps the
// application running.
TEST(CloseApplication, ClosesTheWindowsAndQuitsUnlessOneRefuses) {
    for (const bool refuse : {false, true}) {
        StubbornWindow window;
        window.refuse = refuse;
        QWidget plain;
        for (QWidget* shown : {static_cast<QWidget*>(&window), &plain})
            shown->show();
        QTimer::singleShot(0, &CloseApplication);
        QTimer::singleShot(refuse ? 300 : 5000, [] { QCoreApplication::exit(7); });
        EXPECT_EQ(QApplication::exec(), refuse ? 7 : 0);
        EXPECT_EQ(window.isVisible(), refuse);
        EXPECT_GE(window.closeRequests, 1);
        if (!refuse) {
            EXPECT_FALSE(plain.isVisible());
        }
    }
}
