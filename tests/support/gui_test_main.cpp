// main() of tests that drive the real engine. The test executable prepares
// its process exactly as the program does, including serving as the engine's
// sub-processes itself.
#include <gtest/gtest.h>

#include "common/application.h"
#include "tests/support/engine_process.h"

int main(int argc, char** argv) {
    app::ApplicationArguments arguments;
    if (!test_support::PrepareEngineProcess(argc, argv, arguments))
        return 0;
    testing::InitGoogleTest(&argc, argv);
    common::TApplication application(arguments.argc(), arguments.argv());
    application.setApplicationName(QStringLiteral("Quorvane"));
    return RUN_ALL_TESTS();
}
