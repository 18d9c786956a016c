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

TEST(EngineSwitches, ProgramSettingsAndEachSetFieldReachTheEngine) {
    EngineSettings settings;
    app::ApplyProgramSettings(settings, {"/opt/q/quorvane"});
    const auto env = MapEngineSettings(settings, "/opt/q/quorvane");
    EXPECT_EQ(env.variable("QTWEBENGINEPROCESS_PATH"), "/opt/q/quorvane");
    EXPECT_EQ(env.switches, QStringList{"--disable-logging"});
    EXPECT_TRUE(env.variable("QTWEBENGINE_RESOURCES_PATH").isEmpty());
    EXPECT_TRUE(env.variable("QTWEBENGINE_DISABLE_SANDBOX").isEmpty());

    // The process model and the sandbox reach the engine as switches and
    // variables; a field left unset adds nothing.
    settings = EngineSettings();
    settings.single_process = false;
    settings.log_severity = app::LOGSEVERITY_DEFAULT;
    EXPECT_EQ(SwitchesOf(settings), QSet<QString>());
    settings.single_process = settings.no_sandbox = true;
    settings.resources_dir_path = "/res";
    EXPECT_EQ(SwitchesOf(settings), (QSet<QString>{"--single-process", "--no-sandbox"}));
    const auto set = MapEngineSettings(settings, "/self");
    EXPECT_EQ(set.variable("QTWEBENGINE_DISABLE_SANDBOX"), "1");
    EXPECT_EQ(set.variable("QTWEBENGINE_RESOURCES_PATH"), "/res");
}

// Only "--" arguments of the user are engine switches, an address for the
// debugging server aside. The debugging server: none unless asked for with
// the engine's switches, and then on 127.0.0.1 only, whatever address.
TEST(EngineSwitches, TheDebuggingServerListensOnlyWhenAskedAndOnlyOnThisMachine) {
    const struct {
        QStringList commandLine;
        QByteArray variable;
        QByteArray listens;
    } cases[] = {
        {{"q"}, "", ""},
        {{"q"}, "9000", "127.0.0.1:9000"},
        {{"q"}, "0.0.0.0:9222", "127.0.0.1:9222"},
        {{"q", "--remote-debugging-port=9333"}, "", "127.0.0.1:9333"},
        {{"q", "--remote-debugging-port=9333"}, "[::]:9222", "127.0.0.1:9333"},
        {{"q"}, "0.0.0.0:http", ""},
        {{"q", "--remote-debugging-port=70000"}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine.join(' ').toStdString() + " " + c.variable.toStdString());
        EngineSettings settings;
        qputenv("QTWEBENGINE_REMOTE_DEBUGGING", c.variable);
        app::ApplyProgramSettings(settings, c.commandLine);
        EXPECT_EQ(MapEngineSettings(settings, "/self").variable("QTWEBENGINE_REMOTE_DEBUGGING"),
                  c.listens);
    }
    qunsetenv("QTWEBENGINE_REMOTE_DEBUGGING");
    EXPECT_EQ(app::EngineSwitchesOf({"/q/quorvane", "/afterupgrade", "--remote-debugging-port=9",
                                     "--", "--webEngineArgs", "-x", "--disable-gpu",
                                     "--remote-debugging-address=0.0.0.0"}),
              QStringList({"--remote-debugging-port=9", "--disable-gpu"}));
}
