#pragma once

#include <QString>
#include <QStringList>

namespace upgrader {

// How a published upgrade is carried out (the info file's "method" entry).
enum TacUpgradeMethod {
    umSelfUpgrade = 0,
    umUseExternalSetup = 1,
    umRedirectToURL = 2,
};

// The publisher's record of what the published info file holds, kept with
// the upgrader's settings. A check never reads it: it always takes the list,
// the notice and the method from the fetched file.
struct TauAutoUpgraderInfo {
    QStringList Files;  // the "url" entries, in order
    TacUpgradeMethod UpgradeMethod = umSelfUpgrade;
    QString UpgradeMsg;
};

}  // namespace upgrader
