#include "upgrader/replacement/temp_files.h"

#include <QDir>
#include <QFile>

#include "common/executable_folder.h"
#include "common/text_codec.h"
#include "upgrader/utils/url_split.h"

namespace upgrader {

std::optional<QString> TempFilePathFor(const QString& Folder, const QByteArray& Address) {
    const QString name = common::FromGbk(PathToFileName(Address));
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(QChar(0)))
        return std::nullopt;
    return Folder + name + kTempFileSuffix;
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
