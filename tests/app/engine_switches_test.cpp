#include <gtest/gtest.h>

#include "app/engine_switches.h"
#include "tests/support/qt_printers.h"

using app::EngineSettings;
using app::MapEngineSettings;

TEST(EngineSwitches, ProgramSettingsGiveDebuggingServerOnLoopbackAndOwnSubProcesses) {
    EngineSettings settings;
    app::ApplyProgramSettings(settings);
    const auto env = MapEngineSettings(settings, "/opt/q/quorvane");
    EXPECT_EQ(env.variable("QTWEBENGINE_REMOTE_DEBUGGING"), "127.0.0.1:9000");
    EXPECT_EQ(env.variable("QTWEBENGINEPROCESS_PATH"), "/opt/q/quorvane");
    EXPECT_FALSE(env.switches.contains("--single-process"));
    EXPECT_FALSE(env.switches.contains("--no-sandbox"));
    EXPECT_TRUE(env.switches.contains("--disable-logging"));
    EXPECT_TRUE(env.variable("QTWEBENGINE_RESOURCES_PATH").isEmpty());
    EXPECT_TRUE(env.variable("QTWEBENGINE_DISABLE_SANDBOX").isEmpty());
}

TEST(EngineSwitches, EachSetFieldReachesTheEngine) {
    EngineSettings settings;
    settings.single_process = true;
    settings.no_sandbox = true;
    settings.browser_subprocess_path = "/usr/lib/helper";
    settings.user_agent = "Agent With Spaces/1.0";
    settings.locale = "zh-CN";
    settings.log_file = "/tmp/engine.log";
    settings.log_severity = app::LOGSEVERITY_WARNING;
    settings.javascript_flags = "--expose-gc";
    settings.resources_dir_path = "/res";
    settings.locales_dir_path = "/loc";
    settings.ignore_certificate_errors = true;
    settings.cache_path = "/cache";
    const auto env = MapEngineSettings(settings, "/self");
    const QStringList expected = {"--single-process",
                                  "--no-sandbox",
                                  "--disk-cache-dir=/cache",
                                  "--user-agent=Agent With Spaces/1.0",
                                  "--lang=zh-CN",
                                  "--enable-logging",
                                  "--log-file=/tmp/engine.log",
                                  "--log-level=1",
                                  "--js-flags=--expose-gc",
                                  "--ignore-certificate-errors"};
    EXPECT_EQ(env.switches, expected);
    EXPECT_EQ(env.variable("QTWEBENGINEPROCESS_PATH"), "/usr/lib/helper");
    EXPECT_EQ(env.variable("QTWEBENGINE_DISABLE_SANDBOX"), "1");
    EXPECT_EQ(env.variable("QTWEBENGINE_RESOURCES_PATH"), "/res");
    EXPECT_EQ(env.variable("QTWEBENGINE_LOCALES_PATH"), "/loc");
    EXPECT_TRUE(env.variable("QTWEBENGINE_REMOTE_DEBUGGING").isEmpty());
}

TEST(EngineSwitches, LogSeverityLevels) {
    EngineSettings settings;
    settings.single_process = false;
    settings.log_severity = app::LOGSEVERITY_DEFAULT;
    EXPECT_TRUE(MapEngineSettings(settings, "/x").switches.isEmpty());
    settings.log_severity = app::LOGSEVERITY_VERBOSE;
    EXPECT_EQ(MapEngineSettings(settings, "/x").switches,
              QStringList({"--enable-logging", "--v=1"}));
    settings.log_severity = app::LOGSEVERITY_ERROR;
    EXPECT_EQ(MapEngineSettings(settings, "/x").switches,
              QStringList({"--enable-logging", "--log-level=2"}));
}

TEST(EngineSwitches, OnlyDoubleDashArgumentsOfTheUserAreEngineSwitches) {
    const QStringList commandLine = {"/q/quorvane",  "/afterupgrade",   "--remote-debugging-port=9",
                                     "--",           "--webEngineArgs", "-x",
                                     "--disable-gpu"};
    EXPECT_EQ(app::EngineSwitchesOf(commandLine),
              QStringList({"--remote-debugging-port=9", "--disable-gpu"}));
}
