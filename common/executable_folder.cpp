#include "common/executable_folder.h"

#include <QFileInfo>

namespace common {

QString ExecutablePath() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString ExecutableFolder() {
    const QString path = ExecutablePath();
    return path.left(path.lastIndexOf(u'/') + 1);
}

}  // namespace common
