#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <memory>

#include "tests/support/nginx_server.h"
#include "tests/upgrader/dialog_answers.h"
#include "upgrader/auto/auto_upgrader.h"

namespace upgrader_test {

// Records every event of an upgrader as one line ("LostFile 404 c.bin").
// The restart that follows OnEndUpgrade would start the replacer for the
// test program itself, so OnEndUpgrade always refuses it here.
struct UpgraderEventLog {
    void Attach(upgrader::TauAutoUpgrader& Upgrader);
    int Count(const QString& prefix) const;

    QStringList events;
    QList<int> totals;  // total percentages of OnProgress, in order
};

// An upgrader of version "2.0.0.5" (by number, English texts) whose info file
// is "/update/quorvane.inf" on a real nginx of the test, with every event
// recorded and every dialog answered. Files downloaded beside the test
// program are removed afterwards.
class UpgradeFixture : public testing::Test {
  protected:
    UpgradeFixture();
    void SetUp() override;
    void TearDown() override;

    // Publishes an info file with the version, the given further entries and
    // the file addresses (relative ones on this server).
    void Publish(const QByteArray& version, const QStringList& files, const QByteArray& more = {});
    QString Url(const QString& path) const;

    // A file beside the test program (where downloads go); removed afterwards.
    QString BesideProgram(const QString& name);

    // Serves events until the event was recorded.
    bool WaitForEnd(const QString& event, int timeoutMs = 20000);
    // Empties the event log, starts a check that goes on into the upgrade and
    // waits for the event.
    bool Upgrade(const QString& event, int timeoutMs = 20000);
    // Neither the upgrade question nor the wizard.
    void Unattended();

    test_support::NginxServer server;
    std::unique_ptr<upgrader::TauAutoUpgrader> upgrader;
    UpgraderEventLog log;
    std::unique_ptr<DialogAnswers> answers;

  private:
    QStringList besideProgram_;
};

// The ".uTMP" files beside the test program, by name.
QStringList TempFiles();

}  // namespace upgrader_test
