#include "upgrader/http/progress_figures.h"

#include <algorithm>
#include <cmath>

namespace upgrader {

TauProgressFigures ComputeProgress(qint64 Size, qint64 Bytes, qint64 Offset, qint64 ElapsedMs) {
    TauProgressFigures figures;
    const qint64 elapsed = ElapsedMs / 1000;
    figures.ElapsedTime = static_cast<qint32>(elapsed);
    if (Size > 0) {
        const double percent =
            std::nearbyint(100.0 * double(Bytes + Offset) / double(Size + Offset));
        figures.PercentDone = static_cast<quint8>(std::clamp(percent, 0.0, 100.0));
    }
    if (Size > 0 && Bytes > 0) {
        const double total = std::nearbyint(double(Size) / double(Bytes) * double(elapsed));
        figures.EstimatedTimeLeft = static_cast<qint32>(std::max(0.0, total - double(elapsed)));
    }
    const double kilobytes = double(Bytes) / 1024.0;
    figures.TransferRate =
        static_cast<float>(elapsed > 0 ? kilobytes / double(elapsed) : kilobytes);
    return figures;
}

}  // namespace upgrader
