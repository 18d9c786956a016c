#include "tests/support/warning_log.h"

#include <QtGlobal>
#include <mutex>

namespace test_support {

namespace {

std::mutex mutex;
QStringList* messages = nullptr;
QtMessageHandler previous = nullptr;

void Collect(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg) {
        const std::lock_guard lock(mutex);
        if (messages)
            messages->append(message);
    }
    if (previous)
        previous(type, context, message);
}

}  // namespace

WarningLog::WarningLog() {
    const std::lock_guard lock(mutex);
    messages = new QStringList;
    previous = qInstallMessageHandler(Collect);
}

WarningLog::~WarningLog() {
    qInstallMessageHandler(previous);
    const std::lock_guard lock(mutex);
    delete messages;
    messages = nullptr;
}

QStringList WarningLog::Messages() const {
    const std::lock_guard lock(mutex);
    return *messages;
}

void WarningLog::Clear() {
    const std::lock_guard lock(mutex);
    messages->clear();
}

}  // namespace test_support
