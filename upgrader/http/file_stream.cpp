#include "upgrader/http/file_stream.h"

#include <QFileInfo>
#include <optional>

#include "upgrader/utils/file_attributes.h"

namespace upgrader {

namespace {

// Makes a hidden, read-only or unreadable file plain for the opening; gives
// the attributes to restore afterwards, if any.
std::optional<TauFileAttributes> MakeWritable(const QString& fileName) {
    TauFileAttributes before;
    const bool known = GetFileAttributesAsSet(fileName, before);
    if (known && !(before & (atrHidden | atrReadOnly)))
        return std::nullopt;
    SetFileAttributesFromSet(fileName, atrArchive);
    return known ? std::optional(before) : std::nullopt;
}

}  // namespace

std::unique_ptr<TauFileStream> OpenOutputFile(const QString& FileName, bool Truncate,
                                              QString& Error) {
    const std::optional<TauFileAttributes> restore = MakeWritable(FileName);
    auto stream = std::make_unique<TauFileStream>(FileName);
    const QIODevice::OpenMode mode =
        QIODevice::ReadWrite | (Truncate ? QIODevice::Truncate : QIODevice::OpenModeFlag{});
    const bool opened = !FileName.isEmpty() && stream->open(mode);
    if (restore)
        SetFileAttributesFromSet(FileName, *restore);
    if (opened)
        return stream;
    const QString reason =
        FileName.isEmpty() ? QStringLiteral("No file name") : stream->errorString();
    Error = QStringLiteral("Cannot create file \"%1\". %2")
                .arg(QFileInfo(FileName).absoluteFilePath(), reason);
    return nullptr;
}

}  // namespace upgrader
