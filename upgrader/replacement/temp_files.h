#pragma once

#include "common/program_file_names.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace upgrader {

// The name a file keeps while it downloads and until the replacer puts it in
// place: the file name with this appended.
inline const QString kTempFileSuffix = QLatin1String(common::kDownloadSuffix);

// Where a file of the upgrade downloads to: the folder (ending with "/"), the
// file name of the address taken whole (a query string stays in it; its
// bytes read as GB18030, like the program's other texts), ".uTMP". Nothing
// when the address names no file ("", "." or "..").
std::optional<QString> TempFilePathFor(const QString& Folder, const QByteArray& Address);

// Deletes every file named "<something>.uTMP" in the folder (the program's
// by default), hidden ones included; failures are ignored.
void DeleteTempFiles(const QString& Folder);
void DeleteTempFiles();

}  // namespace upgrader
