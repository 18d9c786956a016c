#include "main/auto_upgrader_config.h"

#include <QRegularExpression>

#include "common/program_version.h"
#include "main/update_public_key.h"
#include "upgrader/auto/auto_upgrader.h"
#include "upgrader/auto/rollout.h"

namespace main_window {

namespace {

// A host name or IPv4 address, or a bracketed IPv6 address, with an optional
// port: nothing that could change the meaning of the address around it.
bool IsHostAndPort(const QString& Text) {
    static const QRegularExpression form(QStringLiteral(
        "^(?:[A-Za-z0-9](?:[A-Za-z0-9._-]{0,251}[A-Za-z0-9])?|\\[[0-9A-Fa-f:.]+\\])"
        "(?::(?:[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|"
        "6553[0-5]))?$"));
    return form.match(Text).hasMatch();
}

const char kUpgradeNotice[] =
    "请注意：升级前请您关闭其他正在使用的客户端窗口。如还不能正常升级，请卸载客户端重新安装后再升级"
    "。"
    "升级后客户端会自动重启。";

}  // namespace

QString UpdateServerHost() {
    const QString configured = qEnvironmentVariable("QUORVANE_UPDATE_HOST").trimmed();
    if (IsHostAndPort(configured))
        return configured;
    if (!configured.isEmpty())
        qWarning("QUORVANE_UPDATE_HOST is not a host or host:port; using %s", QUORVANE_UPDATE_HOST);
    return QStringLiteral(QUORVANE_UPDATE_HOST);
}

QByteArray UpdateServerUrl(const char* Path) {
    return "http://" + UpdateServerHost().toLatin1() + Path;
}

void ConfigureAutoUpgrader(upgrader::TauAutoUpgrader& Upgrader) {
    // The check is armed for the next turn of the event loop; 500 ms is then
    // the retry after an unreachable host.
    Upgrader.AutoCheckDelay = 1;
    Upgrader.SetAutoCheck(true);
    Upgrader.AutoCheckDelay = 500;
    // The program's files are named as on this system: the executable
    // "quorvane", the client library it loads and the update library.
    Upgrader.InfoFile.Files = {
        QString::fromLatin1(UpdateServerUrl("/update/quorvane")),
        QString::fromLatin1(UpdateServerUrl("/update/libquorvane-client.so")),
        QString::fromLatin1(UpdateServerUrl("/update/libquorvane-updates.so"))};
    Upgrader.InfoFile.UpgradeMsg = QString::fromUtf8(kUpgradeNotice);
    Upgrader.InfoFileURL = UpdateServerUrl("/update/quorvane.inf");
    Upgrader.UpdatePublicKey = BuiltInUpdatePublicKey();
    Upgrader.VersionControl = upgrader::byNumber;
    Upgrader.VersionDate = "01/03/2017";
    Upgrader.VersionDateAutoSet = true;
    Upgrader.VersionNumber = common::kProgramVersion;
    // The publisher's fleet report reads the version, the rollout group and a
    // version this client undid from its update requests.
    Upgrader.AgentName = upgrader::FleetUserAgent(common::kProgramVersion);
}

upgrader::TauAutoUpgrader* CreateAutoUpgrader(QObject* Owner) {
    auto* created = new upgrader::TauAutoUpgrader(Owner);
    // Named as the window's component.
    created->setObjectName(QStringLiteral("auAutoUpgrader1"));
    ConfigureAutoUpgrader(*created);
    created->Loaded();
    return created;
}

}  // namespace main_window
