// Stands in for the program in the end-to-end test of the hand-over to the
// replacer. Each start appends its arguments (tab-separated) to
// "<own path>.args" and, like the upgrader's construction, removes the
// replacer an earlier upgrade left. With "--launch" it restarts itself
// through the replacer exactly as the upgrader does after a download.
#include <QApplication>
#include <QTimer>

#include "tests/upgrader/probe_arguments.h"
#include "upgrader/replacement/private_folder.h"
#include "upgrader/replacement/replacer_launch.h"
#include "upgrader/replacement/restart_params.h"
#include "upgrader/replacement/upgrade_confirmation.h"

int main(int argc, char** argv) {
    upgrader::TakeUpgradeConfirmation();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string line = probe::RecordArguments(argc, argv);
    upgrader::DeleteEarlierReplacerFolders();
    // Started again by the replacer, the probe is up once it got here.
    upgrader::ConfirmUpgradeStarted();
    if (line != "--launch")
        return 0;
    QTimer::singleShot(0, [] {
        const QString downloaded = QCoreApplication::applicationFilePath() + ".uTMP";
        if (!upgrader::RestartApplication(upgrader::kDefaultRestartParams, upgrader::umSelfUpgrade,
                                          {downloaded}, {}))
            QCoreApplication::exit(3);
    });
    return app.exec();
}
