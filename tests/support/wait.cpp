#include "tests/support/wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace test_support {

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void ServeEvents(int ms) {
    WaitUntil([] { return false; }, ms);
}

}  // namespace test_support
