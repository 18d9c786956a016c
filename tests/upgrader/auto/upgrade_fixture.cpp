#include "tests/upgrader/auto/upgrade_fixture.h"

#include <QDir>
#include <QFile>

#include "common/executable_folder.h"
#include "tests/support/wait.h"
#include "upgrader/dialogs/wizard_form.h"
#include "upgrader/replacement/temp_files.h"

using namespace upgrader;

namespace upgrader_test {

UpgradeFixture::UpgradeFixture() = default;

UpgradeFixture::UpgradeFixture(const test_support::NginxServer::Options& options)
    : server(options) {}

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
    Serve("update/quorvane.inf", info);
}

void UpgradeFixture::Serve(const QString& path, const QByteArray& content) {
    server.writeFile(path, content);
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
