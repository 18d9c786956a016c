#include "common/application.h"

#include <deque>

#include "common/message_boxes.h"

namespace common {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportHandlerError(error);
    } catch (...) {
        ReportUnknownHandlerError();
    }
    return false;
}

void ReportHandlerError(const std::exception& error) {
    ShowErrorBox(QString::fromUtf8(error.what()));
}

namespace {

int runningHandlers = 0;
bool deliveringWaiting = false;
std::deque<std::function<void()>> waitingWork;

// Each waiting piece runs as a handler of its own; what it makes wait comes
// after the pieces already waiting.
void DeliverWaitingWork() {
    if (deliveringWaiting)
        return;
    deliveringWaiting = true;
    while (!waitingWork.empty() && runningHandlers == 0) {
        std::function<void()> work = std::move(waitingWork.front());
        waitingWork.pop_front();
        RunHandler(work);
    }
    deliveringWaiting = false;
}

}  // namespace

void RunWhenNoHandlerRuns(std::function<void()> work) {
    if (runningHandlers > 0) {
        waitingWork.push_back(std::move(work));
        return;
    }
    RunHandler(work);
}

HandlerScope::HandlerScope() {
    ++runningHandlers;
}

HandlerScope::~HandlerScope() {
    if (--runningHandlers == 0)
        DeliverWaitingWork();
}

void ReportUnknownHandlerError() {
    ShowErrorBox(QStringLiteral("Unknown error"));
}

}  // namespace common
