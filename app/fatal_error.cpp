#include "app/fatal_error.h"

#include <cxxabi.h>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdio>
#include <memory>
#include <typeinfo>

#include "common/executable_folder.h"

namespace app {

namespace {

QString ClassNameOf(const std::exception& error) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status), std::free);
    const QString full = status == 0 ? QString::fromUtf8(name.get()) : typeid(error).name();
    return full.mid(full.lastIndexOf(QLatin1String("::")) + (full.contains("::") ? 2 : 0));
}

QString FatalErrorText(const std::exception& error) {
    const QString message = QString::fromLocal8Bit(error.what());
    const QString stop = message.endsWith(u'.') ? QString() : QStringLiteral(".");
    return QStringLiteral("Exception %1 in module %2.\r\n%3%4\r\n")
        .arg(ClassNameOf(error), QFileInfo(common::ExecutablePath()).fileName(), message, stop);
}

}  // namespace

int ReportFatalStartupError(const std::exception& error, int argc, char** argv) {
    const QString text = FatalErrorText(error);
    std::fprintf(stderr, "%s", text.toLocal8Bit().constData());
    std::unique_ptr<QApplication> ownApplication;
    if (!QApplication::instance())
        ownApplication = std::make_unique<QApplication>(argc, argv);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"), text,
                    QMessageBox::Ok);
    box.exec();
    return 1;
}

}  // namespace app
