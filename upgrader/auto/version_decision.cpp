#include "upgrader/auto/version_decision.h"

#include "upgrader/info/info_file.h"
#include "upgrader/info/version_date.h"
#include "upgrader/utils/versions.h"

namespace upgrader {

bool IsNewerVersion(const TauInfoText& Info, TauAutoUpgraderVersionControl VersionControl,
                    const QByteArray& VersionNumber, const QByteArray& VersionDate) {
    if (VersionControl == byNumber)
        return CompareVersions(Info.Value("version", false), VersionNumber) > 0;
    return ParseVersionDate(VersionDate) < ParseVersionDate(Info.Value("date", false));
}

bool IsNewerVersion(const QByteArray& InfoText, TauAutoUpgraderVersionControl VersionControl,
                    const QByteArray& VersionNumber, const QByteArray& VersionDate) {
    return IsNewerVersion(TauInfoText(InfoText), VersionControl, VersionNumber, VersionDate);
}

}  // namespace upgrader
