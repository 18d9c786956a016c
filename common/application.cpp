#include "common/application.h"

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

void ReportUnknownHandlerError() {
    ShowErrorBox(QStringLiteral("Unknown error"));
}

}  // namespace common
