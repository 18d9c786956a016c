#include "upgrader/utils/temp_directory.h"

#include <QDir>
#include <QFileInfo>

#include "common/executable_folder.h"

namespace upgrader {

QString GetTempDirectory() {
    const QString temp = QDir::tempPath();
    if (!QFileInfo(temp).isDir())
        return common::ExecutableFolder();
    return temp.endsWith(u'/') ? temp : temp + u'/';
}

}  // namespace upgrader
