#pragma once

#include <QString>

namespace upgrader {

// The size of the file in bytes; -1 when it does not exist or is no file
// (a folder). Reading rights are not needed.
qint64 GetFileSize64(const QString& FileName);

}  // namespace upgrader
