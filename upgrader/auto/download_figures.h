#pragma once

#include <QtGlobal>

namespace upgrader {

// The share of the whole series that is done: the current file's share
// (PercentDone / FileCount, whole) plus the files before it
// (FileIndex * 100 / FileCount, rounded half to even). Two files: the first
// at 50 % gives 25, the second at 50 % gives 75.
quint8 TotalPercentDone(quint8 PercentDone, qint32 FileIndex, qint32 FileCount);

}  // namespace upgrader
