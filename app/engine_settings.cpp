#include "app/engine_settings.h"

namespace app {

EngineSettings& GlobalEngineSettings() {
    static EngineSettings settings;
    return settings;
}

void ApplyProgramSettings(EngineSettings& settings) {
    settings.remote_debugging_port = 9000;
    settings.single_process = false;
}

}  // namespace app
