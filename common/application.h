#pragma once

#include <QApplication>

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

}  // namespace common
