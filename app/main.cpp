// The program entry, in both roles: the browser process with the main window,
// or one of the engine's sub-processes, which the engine starts from this
// same executable.
#include <memory>
#include <unistd.h>

#include "app/engine.h"
#include "app/engine_settings.h"
#include "app/fatal_error.h"
#include "common/application.h"
#include "scheme/file_scheme_factory.h"

int main(int argc, char** argv) {
    try {
        app::EngineSettings& settings = app::GlobalEngineSettings();
        app::ApplyProgramSettings(settings);
        // Chromium refuses to start as root with its sandbox on.
        if (geteuid() == 0) settings.no_sandbox = true;
        app::ApplicationArguments arguments;
        if (!app::LoadEngine(argc, argv, arguments)) return 0;
        common::TApplication application(arguments.argc(), arguments.argv());
        application.setApplicationName(QStringLiteral("Quorvane"));
        scheme::TFileSchemeFactory localScheme;
        app::RegisterSchemeHandlerFactory(&localScheme);
        const int result = application.exec();
        app::ShutdownEngine();
        return result;
    } catch (const std::exception& error) {
        return app::ReportFatalStartupError(error, argc, argv);
    }
}
