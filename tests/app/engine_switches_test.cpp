#include <gtest/gtest.h>

#include <QSet>

#include "app/engine_switches.h"
#include "tests/support/qt_printers.h"

using app::EngineSettings;
using app::MapEngineSettings;

namespace {

QSet<QString> SwitchesOf(const EngineSettings& settings) {
    const QStringList switches = MapEngineSettings(settings, "/self").switches;
    return QSet<QString>(switches.begin(), switches.end());
}

}  // namespace

TEST(EngineSwitches, ProgramSettingsGiveDebuggingServerOnLoopbackAndOwnSubProcesses) {
    EngineSettings settings;
    app::ApplyProgramSettings(settings);
    const auto env = MapEngineSettings(settings, "/opt/q/quorvane");
    EXPECT_EQ(env.variable("QTWEBENGINE_REMOTE_DEBUGGING"), "127.0.0.1:9000");
    EXPECT_EQ(env.variable("QTWEBENGINEPROCESS_PATH"), "/opt/q/quorvane");
    EXPECT_EQ(env.switches, QStringList{"--disable-logging"});
    EXPECT_TRUE(env.variable("QTWEBENGINE_RESOURCES_PATH").isEmpty());
    EXPECT_TRUE(env.variable("QTWEBENGINE_DISABLE_SANDBOX").isEmpty());
}

// Each field reaches the engine as its switch or variable, in no particular
// order; a field left unset adds nothing.
TEST(EngineSwitches, EachSetFieldReachesTheEngine) {
    EngineSettings settings;
    settings.single_process = false;
    settings.log_severity = app::LOGSEVERITY_DEFAULT;
    EXPECT_EQ(SwitchesOf(settings), QSet<QString>());
    settings.log_severity = app::LOGSEVERITY_VERBOSE;
    EXPECT_EQ(SwitchesOf(settings), (QSet<QString>{"--enable-logging", "--v=1"}));
    settings.log_severity = app::LOGSEVERITY_ERROR;
    EXPECT_EQ(SwitchesOf(settings), (QSet<QString>{"--enable-logging", "--log-level=2"}));

    settings.single_process = settings.no_sandbox = settings.ignore_certificate_errors = true;
    settings.browser_subprocess_path = "/usr/lib/helper";
    settings.cache_path = "/cache";
    settings.user_agent = "Agent With Spaces/1.0";
    settings.locale = "zh-CN";
    settings.log_file = "/tmp/engine.log";
    settings.log_severity = app::LOGSEVERITY_WARNING;
    settings.javascript_flags = "--expose-gc";
    settings.resources_dir_path = "/res";
    settings.locales_dir_path = "/loc";
    EXPECT_EQ(SwitchesOf(settings),
              (QSet<QString>{"--single-process", "--no-sandbox", "--disk-cache-dir=/cache",
                             "--user-agent=Agent With Spaces/1.0", "--lang=zh-CN",
                             "--enable-logging", "--log-file=/tmp/engine.log", "--log-level=1",
                             "--js-flags=--expose-gc", "--ignore-certificate-errors"}));
    const auto env = MapEngineSettings(settings, "/self");
    EXPECT_EQ(env.variable("QTWEBENGINEPROCESS_PATH"), "/usr/lib/helper");
    EXPECT_EQ(env.variable("QTWEBENGINE_DISABLE_SANDBOX"), "1");
    EXPECT_EQ(env.variable("QTWEBENGINE_RESOURCES_PATH"), "/res");
    EXPECT_EQ(env.variable("QTWEBENGINE_LOCALES_PATH"), "/loc");
    EXPECT_TRUE(env.variable("QTWEBENGINE_REMOTE_DEBUGGING").isEmpty());
}

TEST(EngineSwitches, OnlyDoubleDashArgumentsOfTheUserAreEngineSwitches) {
    EXPECT_EQ(app::EngineSwitchesOf({"/q/quorvane", "/afterupgrade", "--remote-debugging-port=9",
                                     "--", "--webEngineArgs", "-x", "--disable-gpu"}),
              QStringList({"--remote-debugging-port=9", "--disable-gpu"}));
}
