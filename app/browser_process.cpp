// The browser process: the main window and the engine that runs it.
#include "app/browser_process.h"

#include <unistd.h>

#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/engine.h"
#include "app/engine_settings.h"
#include "app/engine_switches.h"
#include "app/fatal_error.h"
#include "app/termination_signal.h"
#include "common/application.h"
#include "common/program_version.h"
#include "common/qt_translations.h"
#include "common/start_environment.h"
#include "main/main_form.h"
#include "main/update_library.h"
#include "scheme/file_scheme_factory.h"
#include "upgrader/replacement/upgrade_confirmation.h"

namespace {

// A new version that could never update itself again is not kept: like one
// whose client library does not load, its start fails before it is up, and
// the upgrade's watchdog puts the old version back.
bool UpdatableAfterUpgrade() {
    QString reason;
    if (!upgrader::UpgradeConfirmationAwaited() || main_window::LoadUpdateLibrary(reason))
        return true;
    std::fprintf(stderr, "quorvane: %s\n", qUtf8Printable(reason));
    return false;
}

int RunBrowserProcess(app::ApplicationArguments& arguments) {
    common::TApplication application(arguments.argc(), arguments.argv());
    application.setApplicationName(QStringLiteral("Quorvane"));
    // The window's class "Quorvane" and this name match the menu entry.
    application.setDesktopFileName(QStringLiteral("quorvane"));
    common::LoadQtTranslations(QLocale::system(), application);
    app::TerminationSignal termination;
    scheme::TFileSchemeFactory localScheme;
    app::RegisterSchemeHandlerFactory(&localScheme);
    auto mainForm = std::make_unique<main_window::TMainForm>();
    mainForm->showMaximized();
    // The window shows and the engine runs: the replacer of an upgrade that
    // started us may let go of the old version.
    QTimer::singleShot(0, &application, &upgrader::ConfirmUpgradeStarted);
    const int result = application.exec();
    // The main window and its view go before the application object, which
    // takes the engine with it.
    mainForm.reset();
    return result;
}

}  // namespace

const char* QuorvaneClientVersion() {
    return common::kProgramVersion;
}

int QuorvaneBrowserProcessMain(int argc, char** argv) {
    upgrader::TakeUpgradeConfirmation();
    common::KeepStartEnvironment();
    if (!UpdatableAfterUpgrade())
        return 1;
    try {
        app::EngineSettings& settings = app::GlobalEngineSettings();
        app::ApplyProgramSettings(settings, app::CommandLineOf(argc, argv));
        // Chromium refuses to start as root with its sandbox on.
        if (geteuid() == 0)
            settings.no_sandbox = true;
        app::ApplicationArguments arguments;
        if (!app::LoadEngine(argc, argv, arguments))
            return 0;
        const int result = RunBrowserProcess(arguments);
        main_window::RunPendingReplacer(argv);
        return result;
    } catch (const std::exception& error) {
        return app::ReportFatalStartupError(error, argc, argv);
    }
}
