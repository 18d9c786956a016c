#include "upgrader/replacement/restart_params.h"

namespace upgrader {

QString StoredRestartParams(const QString& Assigned) {
    return Assigned.isEmpty() ? QStringLiteral(" ") : Assigned;
}

QChar UpgradeMethodDigit(TacUpgradeMethod Method) {
    return QChar(u'0' + static_cast<char16_t>(Method));
}

QString RestartParameter(const QString& RestartParams, TacUpgradeMethod Method) {
    return RestartParams + UpgradeMethodDigit(Method);
}

bool WasRestartedByUpgrade(const QStringList& Arguments, const QString& RestartParams) {
    return Arguments.size() > 1 && Arguments.at(1) == RestartParams;
}

}  // namespace upgrader
