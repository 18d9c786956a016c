#include "common/program_files.h"

#include <QFileInfo>

#include "common/executable_folder.h"

namespace common {

namespace {

bool IsProgramFileName(const QString& Name, const QString& Executable) {
    for (const char* name :
         {kClientLibraryName, kUpdateLibraryName, kReplacerName, kInstallListName})
        if (Name == QLatin1String(name))
            return true;
    for (const char* suffix : {kDownloadSuffix, kBackupSuffix})
        if (Name.endsWith(QLatin1String(suffix)))
            return true;
    // The records and the journal, with the names they have while written
    // (".part") or once set aside (".invalid").
    for (const char* suffix :
         {kPendingUpgradeSuffix, kRefusedUpgradeSuffix, kNewestUpdateSuffix, kRolloutNumberSuffix})
        if (Name.startsWith(Executable + QLatin1String(suffix)))
            return true;
    return Name == Executable;
}

}  // namespace

bool IsProgramFile(const QString& Path) {
    const QFileInfo file(Path);
    // The program's path is canonical already (the system's own reading).
    const QFileInfo program(ExecutablePath());
    return QFileInfo(file.absolutePath()).canonicalFilePath() == program.path() &&
           IsProgramFileName(file.fileName(), program.fileName());
}

}  // namespace common
