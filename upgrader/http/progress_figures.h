#pragma once

#include <QtGlobal>

namespace upgrader {

// The figures shown while a body arrives.
struct TauProgressFigures {
    quint8 PercentDone = 0;        // 0 to 100; 0 while the size is unknown
    qint32 ElapsedTime = 0;        // whole seconds since the transfer started
    qint32 EstimatedTimeLeft = 0;  // whole seconds; 0 while it cannot be told
    float TransferRate = 0;        // KB/s
};

// Size: the announced length of this transfer's body (0: unknown); Bytes:
// what arrived of it; Offset: what the output held before (a resumed
// download); ElapsedMs: time since the transfer started.
TauProgressFigures ComputeProgress(qint64 Size, qint64 Bytes, qint64 Offset, qint64 ElapsedMs);

}  // namespace upgrader
