// Stands in for the program in the test of the upgrader's hand-over: each
// start appends its arguments (tab-separated) to "<own path>.args" and, like
// the program, creates an upgrader (which removes an earlier upgrade's
// replacer). Started as
//   probe --upgrade <info file URL> <RestartParams> [own-close] [--key=RW...]
// it checks at once, downloads without asking or showing the wizard, and
// restarts through the replacer; "own-close" closes it through
// OnDoOwnCloseAppMethod (which records "own close"); "--key=" makes it take
// only updates signed with that minisign public key.
#include <QApplication>
#include <QTimer>
#include <string>

#include "common/start_environment.h"
#include "tests/upgrader/probe_arguments.h"
#include "upgrader/auto/auto_upgrader.h"
#include "upgrader/replacement/replacer_launch.h"
#include "upgrader/replacement/upgrade_confirmation.h"

int main(int argc, char** argv) {
    upgrader::TakeUpgradeConfirmation();
    common::KeepStartEnvironment();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    probe::RecordArguments(argc, argv);
    upgrader::TauAutoUpgrader upgrader;
    // Started again by the replacer, the probe is up once it got here.
    upgrader::ConfirmUpgradeStarted();
    if (argc < 4 || std::string(argv[1]) != "--upgrade")
        return 0;
    upgrader.InfoFileURL = argv[2];
    upgrader.SetRestartParams(QString::fromLocal8Bit(argv[3]));
    upgrader.VersionControl = upgrader::byNumber;
    upgrader.VersionNumber = "1.0";
    upgrader.ShowMessages = {};
    upgrader.Wizard.Enabled = false;
    for (int i = 4; i < argc; ++i)
        if (std::string(argv[i]).rfind("--key=", 0) == 0)
            upgrader.UpdatePublicKey = QByteArray(argv[i] + 6);
    if (argc > 4 && std::string(argv[4]) == "own-close") {
        upgrader.OnDoOwnCloseAppMethod = [&](upgrader::TauAutoUpgrader*) {
            probe::RecordLine(argv[0], "own close");
            QCoreApplication::exit(0);
        };
    }
    // Anything but the restart ends the probe with a failure.
    upgrader.OnLaterUpgrade = [](upgrader::TauAutoUpgrader*) { QCoreApplication::exit(2); };
    upgrader.OnNoUpdateAvailable = [](upgrader::TauAutoUpgrader*) { QCoreApplication::exit(3); };
    upgrader.OnAborted = [](upgrader::TauAutoUpgrader*) { QCoreApplication::exit(4); };
    upgrader.OnConnLost = [](upgrader::TauAutoUpgrader*) { QCoreApplication::exit(5); };
    upgrader.OnHostUnreachable = [](upgrader::TauAutoUpgrader*, const QByteArray&,
                                    const QByteArray&) { QCoreApplication::exit(6); };
    upgrader.OnNoInfoFile = [](upgrader::TauAutoUpgrader*) { QCoreApplication::exit(7); };
    QTimer::singleShot(0, [&] { upgrader.CheckUpdate(false); });
    QTimer::singleShot(60000, [] { QCoreApplication::exit(9); });
    const int result = app.exec();
    // As the program: the replacer runs in this process once it has closed.
    upgrader::RunPendingReplacer(argv, common::StartEnvironment());
    return result;
}
