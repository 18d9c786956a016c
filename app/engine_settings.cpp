#include "app/engine_settings.h"

#include "app/engine_switches.h"

namespace app {

EngineSettings& GlobalEngineSettings() {
    static EngineSettings settings;
    return settings;
}

void ApplyProgramSettings(EngineSettings& settings, const QStringList& commandLine) {
    settings.remote_debugging_port =
        AskedDebuggingPort(commandLine, qgetenv("QTWEBENGINE_REMOTE_DEBUGGING"));
    settings.single_process = false;
}

}  // namespace app
