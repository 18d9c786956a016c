#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QTimer>

#include "upgrader/utils/close_application.h"
#include "upgrader/utils/wait_for_signal.h"

using namespace upgrader;

// The upgrade check waits for its transfer this way (the thread tests wait
// for signals that come): the application quitting ends the wait.
TEST(WaitForSignal, EndsWhenTheApplicationQuits) {
    TauSignal signal;
    TauWaitEnd stopping = TauWaitEnd::Signalled;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(10, &QCoreApplication::quit);
        stopping = WaitForSignal(signal, 0, true);
    });
    QApplication::exec();
    EXPECT_EQ(stopping, TauWaitEnd::AppTerminating);
}

namespace {

class StubbornWindow : public QMainWindow {
  public:
    bool refuse = false;

  protected:
    void closeEvent(QCloseEvent* event) override { event->setAccepted(!refuse); }
};

}  // namespace

// Before the replacer runs, the program closes: every window, a plain
// top-level widget too; a window that refuses keeps the application running.
TEST(CloseApplication, ClosesTheWindowsAndQuitsUnlessOneRefuses) {
    for (const bool refuse : {false, true}) {
        StubbornWindow window;
        window.refuse = refuse;
        QWidget plain;
        window.show();
        plain.show();
        QTimer::singleShot(0, &CloseApplication);
        QTimer::singleShot(refuse ? 300 : 5000, [] { QCoreApplication::exit(7); });
        EXPECT_EQ(QApplication::exec(), refuse ? 7 : 0);
        EXPECT_EQ(window.isVisible(), refuse);
        EXPECT_TRUE(refuse || !plain.isVisible());
    }
}
