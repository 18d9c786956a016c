#pragma once

#include <QString>
#include <QStringList>

#include "upgrader/info/upgrader_info.h"

namespace upgrader {

// What the restarted program receives as its first parameter by default.
inline const QString kDefaultRestartParams = QStringLiteral("/afterupgrade");

// The value RestartParams keeps when assigned: an empty text becomes a single
// blank, so the replacer's parameter always has something before the digit.
QString StoredRestartParams(const QString& Assigned);

// The method's digit: "0" self-upgrade, "1" external setup, "2" redirect.
QChar UpgradeMethodDigit(TacUpgradeMethod Method);

// The parameter of RestartApplication: RestartParams and the method digit,
// "/afterupgrade0" for the default self-upgrade.
QString RestartParameter(const QString& RestartParams, TacUpgradeMethod Method);

// Whether the program was started again by an upgrade: its first parameter
// (after the program's own path) equals RestartParams exactly.
bool WasRestartedByUpgrade(const QStringList& Arguments, const QString& RestartParams);

}  // namespace upgrader
