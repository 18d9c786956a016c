// main() of tests that need an application object but not the engine.
#include <gtest/gtest.h>

#include "common/application.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    common::TApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Quorvane"));
    return RUN_ALL_TESTS();
}
