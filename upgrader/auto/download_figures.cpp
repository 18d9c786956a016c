#include "upgrader/auto/download_figures.h"

#include <algorithm>
#include <cmath>

namespace upgrader {

quint8 TotalPercentDone(quint8 PercentDone, qint32 FileIndex, qint32 FileCount) {
    if (FileCount <= 0)
        return 0;
    // nearbyint rounds halves to even in the default rounding mode.
    const double before = std::nearbyint(double(FileIndex) * 100.0 / FileCount);
    const double total = PercentDone / FileCount + before;
    return static_cast<quint8>(std::clamp(total, 0.0, 255.0));
}

}  // namespace upgrader
