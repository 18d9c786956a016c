#pragma once

#include <QApplication>
#include <functional>

namespace common {

// The application object. An exception that escapes a GUI handler ends that
// handler only: it is caught here, shown in the stop-icon box with the
// application title, and the program goes on.
class TApplication : public QApplication {
  public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the error of a GUI handler; usable where no event dispatch is involved
// (engine callbacks run from Qt's own event loop already pass through notify).
void ReportHandlerError(const std::exception& error);

// Shows an error of unknown kind, as for an exception that is no std::exception.
void ReportUnknownHandlerError();

// Handlers run one at a time. A handler's message box runs an event loop of
// its own, and an event that comes meanwhile would run its handler inside the
// first one (a box inside a box inside a box); such events wait instead.
// Runs the work (as a handler) at once when no handler runs, else once the
// outermost running handler has returned, in the order given.
void RunWhenNoHandlerRuns(std::function<void()> work);

// Marks the time a handler runs; the waiting work follows the outermost.
class HandlerScope {
  public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

// Runs a handler that user code assigned; its exception is shown as the
// application shows it and goes no further. Widgets call their handlers
// through this, so no exception unwinds through Qt's own event code, which
// is not made for it (it leaks the event's data on the way).
template <typename Handler>
void RunHandler(Handler&& handler) {
    const HandlerScope running;
    try {
        handler();
    } catch (const std::exception& error) {
        ReportHandlerError(error);
    } catch (...) {
        ReportUnknownHandlerError();
    }
}

}  // namespace common
