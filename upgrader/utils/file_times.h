#pragma once

#include <QString>

#include "upgrader/utils/date_time.h"

namespace upgrader {

// A time argument of SetFileTimes that leaves that time as it is.
constexpr TDateTime kKeepFileTime = -1;

// Sets the file's times (local day counts) to even seconds, as the two-second
// file-date form has them. The file must exist and open for writing. Linux
// keeps no settable creation time: CreationTime is accepted and not stored.
bool SetFileTimes(const QString& FileName, TDateTime CreationTime, TDateTime LastWriteTime,
                  TDateTime LastAccessTime);

}  // namespace upgrader
