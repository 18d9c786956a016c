#include "tests/upgrader/auto/upgrader_event_log.h"

#include <QFileInfo>

using namespace upgrader;

namespace upgrader_test {

namespace {

QString FileNameOf(const QByteArray& url) {
    return QString::fromUtf8(url.mid(url.lastIndexOf('/') + 1));
}

}  // namespace

void UpgraderEventLog::Attach(TauAutoUpgrader& u) {
    u.OnBeginUpgrade = [this](TauAutoUpgrader*, const QString& msg, TacUpgradeMethod method,
                              TauDownloadList& files, bool& can) {
        events
            << QStringLiteral("BeginUpgrade %1 %2 %3").arg(int(method)).arg(files.size()).arg(msg);
        can = canUpgrade;
    };
    u.OnEndUpgrade = [this](TauAutoUpgrader*, bool& restart) {
        events << "EndUpgrade";
        restart = false;
    };
    u.OnLaterUpgrade = [this](TauAutoUpgrader*) { events << "LaterUpgrade"; };
    u.OnProgress = [this](TauAutoUpgrader*, const QByteArray&, qint64, qint64, qint32, qint32,
                          quint8, quint8 total, float) { totals << total; };
    u.OnFileStart = [this](TauAutoUpgrader*, const QByteArray& url, qint64 size, TDateTime,
                           bool& can) {
        events << QStringLiteral("FileStart %1 %2 %3").arg(FileNameOf(url)).arg(size).arg(can);
    };
    u.OnFileDone = [this](TauAutoUpgrader*, const QString& name) {
        events << "FileDone " + QFileInfo(name).fileName();
    };
    u.OnAborted = [this](TauAutoUpgrader*) { events << "Aborted"; };
    u.OnConnLost = [this](TauAutoUpgrader*) { events << "ConnLost"; };
    u.OnHostUnreachable = [this](TauAutoUpgrader*, const QByteArray& url, const QByteArray& host) {
        events << "HostUnreachable " + FileNameOf(url) + u' ' + QString::fromUtf8(host);
    };
    u.OnNoUpdateAvailable = [this](TauAutoUpgrader*) { events << "NoUpdateAvailable"; };
    u.OnNoInfoFile = [this](TauAutoUpgrader*) { events << "NoInfoFile"; };
    u.OnLostFile = [this](TauAutoUpgrader*, const QByteArray& url, qint32 code, bool& go) {
        events << QStringLiteral("LostFile %1 %2").arg(code).arg(FileNameOf(url));
        go = continueUpgrade;
    };
    u.OnPasswordRequest = [this](TauAutoUpgrader*, const QByteArray& realm, bool&) {
        events << "PasswordRequest " + QString::fromUtf8(realm);
    };
}

int UpgraderEventLog::Count(const QString& prefix) const {
    int count = 0;
    for (const QString& event : events)
        count += event.startsWith(prefix) ? 1 : 0;
    return count;
}

}  // namespace upgrader_test
