#pragma once

#include <QByteArray>

namespace upgrader {

// Compares dotted version numbers part by part (V1 the published one, V2 the
// running one): -1, 0 or 1. Each is taken as exactly four parts, missing
// parts being "0" and a fifth and further parts ignored. When a part met
// before the decision is not an integer (or is -1), the result is the sign of
// a byte-wise comparison of the whole texts instead.
int CompareVersions(const QByteArray& V1, const QByteArray& V2);

}  // namespace upgrader
