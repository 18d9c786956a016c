#include "tests/support/engine_process.h"

#include "app/engine_settings.h"

namespace test_support {

bool PrepareEngineProcess(int argc, char** argv, app::ApplicationArguments& arguments) {
    app::EngineSettings& settings = app::GlobalEngineSettings();
    settings.single_process = false;
    settings.no_sandbox = true;
    return app::LoadEngine(argc, argv, arguments);
}

}  // namespace test_support
