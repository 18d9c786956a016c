#include "upgrader/threads/gui_call.h"

#include <QCoreApplication>
#include <QThread>

namespace upgrader {

bool IsGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || app->thread() == QThread::currentThread();
}

void RunOnGuiThread(const std::function<void()>& call) {
    if (IsGuiThread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), call, Qt::BlockingQueuedConnection);
}

void PostToGuiThread(std::function<void()> call) {
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::move(call), Qt::QueuedConnection);
}

}  // namespace upgrader
