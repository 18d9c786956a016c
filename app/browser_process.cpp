// The browser process: the main window and the engine that runs it.
#include "app/browser_process.h"

#include <unistd.h>

#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/engine.h"
#include "app/engine_settings.h"
#include "app/fatal_error.h"
#include "app/information_options.h"
#include "app/termination_signal.h"
#include "common/application.h"
#include "common/program_version.h"
#include "main/main_form.h"
#include "scheme/file_scheme_factory.h"
#include "upgrader/replacement/upgrade_confirmation.h"

namespace {

int RunBrowserProcess(app::ApplicationArguments& arguments) {
    common::TApplication application(arguments.argc(), arguments.argv());
    application.setApplicationName(QStringLiteral("Quorvane"));
    // The window's class "Quorvane" and this name match the menu entry.
    application.setDesktopFileName(QStringLiteral("quorvane"));
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
    if (const std::optional<std::string> text = app::InformationRequested(argc, argv)) {
        std::fputs(text->c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    try {
        app::EngineSettings& settings = app::GlobalEngineSettings();
        app::ApplyProgramSettings(settings);
        // Chromium refuses to start as root with its sandbox on.
        if (geteuid() == 0)
            settings.no_sandbox = true;
        app::ApplicationArguments arguments;
        if (!app::LoadEngine(argc, argv, arguments))
            return 0;
        return RunBrowserProcess(arguments);
    } catch (const std::exception& error) {
        return app::ReportFatalStartupError(error, argc, argv);
    }
}
