#include "upgrader/replacement/temp_files.h"

#include <QDir>
#include <QFile>

#include "common/executable_folder.h"
#include "upgrader/utils/url_split.h"

namespace upgrader {

QString TempFilePath(const QString& Folder, const QByteArray& Address) {
    return Folder + QFile::decodeName(PathToFileName(Address)) + kTempFileSuffix;
}

void DeleteTempFiles(const QString& Folder) {
    const QDir folder(Folder);
    const QStringList names = folder.entryList({u'*' + kTempFileSuffix},
                                               QDir::Files | QDir::Hidden | QDir::CaseSensitive);
    for (const QString& name : names)
        QFile::remove(folder.filePath(name));
}

void DeleteTempFiles() {
    DeleteTempFiles(common::ExecutableFolder());
}

}  // namespace upgrader
