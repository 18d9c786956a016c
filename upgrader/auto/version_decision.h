#pragma once

#include <QByteArray>

#include "upgrader/auto/auto_upgrader_types.h"
#include "upgrader/info/info_file.h"

namespace upgrader {

// Whether the info text publishes a newer release than the running one:
// byNumber, its "version" compares greater than VersionNumber; byDate, its
// "date" is a later day than VersionDate (unreadable dates read as today).
bool IsNewerVersion(const TauInfoText& Info, TauAutoUpgraderVersionControl VersionControl,
                    const QByteArray& VersionNumber, const QByteArray& VersionDate);
bool IsNewerVersion(const QByteArray& InfoText, TauAutoUpgraderVersionControl VersionControl,
                    const QByteArray& VersionNumber, const QByteArray& VersionDate);

}  // namespace upgrader
