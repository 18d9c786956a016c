#include "common/executable_folder.h"

#include <QFile>

#include "common/running_executable.h"

namespace common {

QString ExecutablePath() {
    return QFile::decodeName(RunningExecutablePath().c_str());
}

QString ExecutableFolder() {
    const QString path = ExecutablePath();
    return path.left(path.lastIndexOf(u'/') + 1);
}

}  // namespace common
