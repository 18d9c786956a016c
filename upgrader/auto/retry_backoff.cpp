#include "upgrader/auto/retry_backoff.h"

#include <QRandomGenerator>
#include <algorithm>

namespace upgrader {

qint32 TRetryBackoff::NextDelay(qint32 baseMs) {
    const qint64 base = std::max<qint32>(baseMs, 1);
    qint64 ceiling = base;
    for (int doubling = 0; doubling < failures_ && ceiling < kCapMs; ++doubling)
        ceiling *= 2;
    ceiling = std::max(base, std::min(ceiling, kCapMs));
    ++failures_;
    return static_cast<qint32>(random_(base, ceiling));
}

qint64 TRetryBackoff::UniformRandom(qint64 low, qint64 high) {
    return QRandomGenerator::global()->bounded(low, high + 1);
}

}  // namespace upgrader
