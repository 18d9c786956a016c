#include "common/program_start.h"

#include <QProcess>

namespace common {

QProcessEnvironment ChildEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys()) {
        if (name.startsWith(u"QTWEBENGINE"))
            environment.remove(name);
    }
    return environment;
}

bool StartDetachedProgram(const QStringList& arguments) {
    if (arguments.isEmpty() || arguments.first().isEmpty())
        return false;
    QProcess process;
    process.setProgram(arguments.first());
    process.setArguments(arguments.mid(1));
    process.setProcessEnvironment(ChildEnvironment());
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

}  // namespace common
