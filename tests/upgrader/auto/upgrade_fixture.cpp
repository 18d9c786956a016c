#include "tests/upgrader/auto/upgrade_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/executable_folder.h"
#include "tests/support/wait.h"
#include "upgrader/dialogs/wizard_form.h"
#include "upgrader/replacement/temp_files.h"

using namespace upgrader;

namespace upgrader_test {

namespace {

QString FileNameOf(const QByteArray& url) {
    return QString::fromUtf8(url.mid(url.lastIndexOf('/') + 1));
}

}  // namespace

void UpgraderEventLog::Attach(TauAutoUpgrader& u) {
    u.OnBeginUpgrade = [this](TauAutoUpgrader*, const QString& msg, TacUpgradeMethod method,
                              TauDownloadList& files, bool&) {
        events
            << QStringLiteral("BeginUpgrade %1 %2 %3").arg(int(method)).arg(files.size()).arg(msg);
    };
    u.OnEndUpgrade = [this](TauAutoUpgrader*, bool& restart) {
        events << "EndUpgrade";
        restart = false;
    };
    u.OnLaterUpgrade = [this](TauAutoUpgrader*) { events << "LaterUpgrade"; };
    u.OnProgress = [this](TauAutoUpgrader*, const QByteArray&, qint64, qint64, qint32, qint32,
                          quint8, quint8 total, float) { totals << total; };
    u.OnFileStart = [this](TauAutoUpgrader*, const QByteArray& url, qint64 size, TDateTime, bool&) {
        events << QStringLiteral("FileStart %1 %2").arg(FileNameOf(url)).arg(size);
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
    u.OnLostFile = [this](TauAutoUpgrader*, const QByteArray& url, qint32 code, bool&) {
        events << QStringLiteral("LostFile %1 %2").arg(code).arg(FileNameOf(url));
    };
    u.OnPasswordRequest = [this](TauAutoUpgrader*, const QByteArray& realm, bool&) {
        events << "PasswordRequest " + QString::fromUtf8(realm);
    };
}

int UpgraderEventLog::Count(const QString& prefix) const {
    return int(std::count_if(events.begin(), events.end(),
                             [&](const QString& event) { return event.startsWith(prefix); }));
}

UpgradeFixture::UpgradeFixture()
    : server({QStringLiteral("location /slow/ { limit_rate 40k; }"
                             " location /private/ { auth_basic \"Quorvane Updates\";"
                             " auth_basic_user_file htpasswd; }")}) {}

void UpgradeFixture::SetUp() {
    DeleteTempFiles();
    answers = std::make_unique<DialogAnswers>();
    upgrader = std::make_unique<TauAutoUpgrader>();
    upgrader->Wizard.SetLanguage(wlEnglish);
    upgrader->VersionControl = byNumber;
    upgrader->VersionNumber = "2.0.0.5";
    upgrader->InfoFileURL = Url("/update/quorvane.inf").toUtf8();
    log.Attach(*upgrader);
}

void UpgradeFixture::TearDown() {
    upgrader.reset();
    DeleteWizardForm();
    answers.reset();
    DeleteTempFiles();
    for (const QString& path : besideProgram_)
        QFile::remove(path);
}

void UpgradeFixture::Publish(const QByteArray& version, const QStringList& files,
                             const QByteArray& more) {
    QByteArray info = "; published for the test\r\n#version=" + version + "\r\n" + more;
    for (int i = 0; i < files.size(); ++i) {
        const QString url = files[i].contains("://") ? files[i] : Url(files[i]);
        info += "#url" + QByteArray::number(i + 1) + '=' + url.toUtf8() + "\r\n";
    }
    server.writeFile("update/quorvane.inf", info);
}

QString UpgradeFixture::Url(const QString& path) const {
    return server.baseUrl() + (path.startsWith(u'/') ? path : u'/' + path);
}

QString UpgradeFixture::BesideProgram(const QString& name) {
    const QString path = common::ExecutableFolder() + name;
    besideProgram_ << path;
    return path;
}

QStringList TempFiles() {
    return QDir(common::ExecutableFolder())
        .entryList({"*.uTMP"}, QDir::Files | QDir::Hidden, QDir::Name);
}

bool UpgradeFixture::WaitForEnd(const QString& event, int timeoutMs) {
    return test_support::WaitUntil([&] { return log.Count(event) > 0; }, timeoutMs);
}

bool UpgradeFixture::Upgrade(const QString& event, int timeoutMs) {
    log.events.clear();
    upgrader->CheckUpdate(false);
    return WaitForEnd(event, timeoutMs);
}

void UpgradeFixture::Unattended() {
    upgrader->ShowMessages &= ~TauAutoUpgraderShowMessages(mAskUpgrade);
    upgrader->Wizard.Enabled = false;
}

}  // namespace upgrader_test
