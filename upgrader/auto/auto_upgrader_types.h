#pragma once

#include <QByteArray>
#include <QFlags>
#include <QList>
#include <QString>
#include <functional>

#include "upgrader/info/upgrader_info.h"
#include "upgrader/utils/date_time.h"

namespace upgrader {

class TauAutoUpgrader;

// Whether further files of an upgrade that are already there with the
// announced size are downloaded again.
enum TacMiscFilesUpgradeBehavior { mfuAlwaysDownload, mfuOnlyIfSizeDifferent };

// Which published value decides that a release is newer.
enum TauAutoUpgraderVersionControl { byDate, byNumber };

// The dialogs the upgrader shows.
enum TauAutoUpgraderShowMessage {
    mAskUpgrade = 0x1,
    mConnLost = 0x2,
    mHostUnreachable = 0x4,
    mLostFile = 0x8,
    mNoInfoFile = 0x10,
    mNoUpdateAvailable = 0x20,
    mPasswordRequest = 0x40,
    // Update information refused for its signature, or a file refused for
    // its hash: the user is told why nothing happens.
    mUnverifiedUpdate = 0x80,
};
Q_DECLARE_FLAGS(TauAutoUpgraderShowMessages, TauAutoUpgraderShowMessage)
Q_DECLARE_OPERATORS_FOR_FLAGS(TauAutoUpgraderShowMessages)

inline constexpr TauAutoUpgraderShowMessages kDefaultShowMessages = TauAutoUpgraderShowMessages(
    mAskUpgrade | mConnLost | mLostFile | mPasswordRequest | mUnverifiedUpdate);

// The upgrade's file addresses, as the info file lists them.
using TauDownloadList = QList<QByteArray>;

using TauUpgraderNotifyEvent = std::function<void(TauAutoUpgrader* Sender)>;
using TauBeginUpgradeEvent =
    std::function<void(TauAutoUpgrader* Sender, const QString& UpgradeMsg,
                       TacUpgradeMethod UpgradeMethod, TauDownloadList& Files, bool& CanUpgrade)>;
using TauEndUpgradeEvent = std::function<void(TauAutoUpgrader* Sender, bool& RestartImediately)>;
using TauUpgradeProgressEvent =
    std::function<void(TauAutoUpgrader* Sender, const QByteArray& FileURL, qint64 FileSize,
                       qint64 BytesRead, qint32 ElapsedTime, qint32 EstimatedTimeLeft,
                       quint8 PercentsDone, quint8 TotalPercentsDone, float TransferRate)>;
using TauFileStartEvent =
    std::function<void(TauAutoUpgrader* Sender, const QByteArray& FileURL, qint64 FileSize,
                       TDateTime FileTime, bool& CanUpgrade)>;
using TauFileDoneEvent = std::function<void(TauAutoUpgrader* Sender, const QString& FileName)>;
using TauHostUnreachableEvent =
    std::function<void(TauAutoUpgrader* Sender, const QByteArray& URL, const QByteArray& Hostname)>;
using TauLostFileEvent = std::function<void(TauAutoUpgrader* Sender, const QByteArray& FileURL,
                                            qint32 ErrorCode, bool& ContinueUpgrade)>;
using TauUpgraderPasswordEvent =
    std::function<void(TauAutoUpgrader* Sender, const QByteArray& Realm, bool& TryAgain)>;

}  // namespace upgrader
