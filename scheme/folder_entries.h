#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "scheme/listing_texts.h"

namespace scheme {

// One entry of a folder while its listing is built.
struct TFileInfo {
    QString Name;        // the entry's name, without its folder, as shown (DisplayName)
    QByteArray RawName;  // the same as the file system stores it
    qint64 Size = 0;     // bytes; 0 for a folder; kUnknownSize when it could not be looked at
    qint64 LastWriteTime = kUnknownTime;  // milliseconds since 1970-01-01 UTC
    bool IsFolder = false;
};

// Every entry of `folderPath` (hidden and system entries included) except
// ".", and ".." only where the folder has a parent ("/" has none). Symbolic
// links count as what they point to. A folder that cannot be read lists
// only its ".." (or nothing, for "/"); in one that cannot be searched the
// entries have their names and, where the folder records it, their kind.
std::vector<TFileInfo> ReadFolder(const QByteArray& folderPath);

// A name or path of the file system as text: UTF-8 where its bytes are valid
// UTF-8, else GB18030 (names from archives made on Chinese Windows).
QString DisplayName(const QByteArray& raw);

// The listing order: folders before files, ".." first of all; within each
// group by name, comparing the names' GBK bytes (GB18030 for characters
// outside GBK) with the letters a to z taken as capitals. Names that differ
// only in the case of those letters keep a fixed order (capitals first).
void SortEntries(std::vector<TFileInfo>& entries);

}  // namespace scheme
