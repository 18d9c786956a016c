#include "app/engine_switches.h"

namespace app {

QByteArray EngineEnvironment::variable(const QByteArray& name) const {
    for (const auto& [key, value] : variables)
        if (key == name)
            return value;
    return {};
}

namespace {

void AddIfSet(QStringList& switches, const char* name, const QString& value) {
    if (!value.isEmpty())
        switches << QStringLiteral("--%1=%2").arg(QLatin1String(name), value);
}

// Chromium has no single severity switch: "disable" turns logging off, the
// others turn it on at the matching minimum level (its levels count from info).
void AddLogSwitches(QStringList& switches, const EngineSettings& settings) {
    const int severity = settings.log_severity;
    if (severity == LOGSEVERITY_DISABLE) {
        switches << QStringLiteral("--disable-logging");
        return;
    }
    if (severity == LOGSEVERITY_DEFAULT && settings.log_file.isEmpty())
        return;
    switches << QStringLiteral("--enable-logging");
    AddIfSet(switches, "log-file", settings.log_file);
    if (severity == LOGSEVERITY_VERBOSE)
        switches << QStringLiteral("--v=1");
    else if (severity >= LOGSEVERITY_INFO && severity <= LOGSEVERITY_ERROR)
        switches << QStringLiteral("--log-level=%1").arg(severity - LOGSEVERITY_INFO);
}

}  // namespace

// Fields without an equivalent in Qt WebEngine, and why they need none:
// - multi_threaded_message_loop: Qt runs the engine's UI-thread work inside its
//   own event loop on the GUI thread; there is nothing to choose.
// - windowless_rendering_enabled: the view always renders into a widget.
// - persist_session_cookies: cookies follow the profile; with no cache_path the
//   default profile keeps nothing on disk, so "false" is what happens anyway.
// - product_version: only feeds the engine's default user agent, which Qt
//   builds itself; user_agent replaces it completely when set.
// - pack_loading_disabled: Qt WebEngine always loads its resource packs.
// - uncaught_exception_stack_size, context_safety_implementation: V8 embedder
//   hooks Qt does not expose; their 0 means "engine default" anyway.
// - background_color: pages draw their own background; 0 leaves the default.
EngineEnvironment MapEngineSettings(const EngineSettings& settings, const QString& executablePath) {
    EngineEnvironment env;
    QStringList& sw = env.switches;
    if (settings.single_process)
        sw << QStringLiteral("--single-process");
    if (settings.no_sandbox) {
        sw << QStringLiteral("--no-sandbox");
        env.variables.append(std::pair<QByteArray, QByteArray>{"QTWEBENGINE_DISABLE_SANDBOX", "1"});
    }
    const QString subprocess = settings.browser_subprocess_path.isEmpty()
                                   ? executablePath
                                   : settings.browser_subprocess_path;
    env.variables.append(
        std::pair<QByteArray, QByteArray>{"QTWEBENGINEPROCESS_PATH", subprocess.toLocal8Bit()});
    AddIfSet(sw, "disk-cache-dir", settings.cache_path);
    AddIfSet(sw, "user-agent", settings.user_agent);
    AddIfSet(sw, "lang", settings.locale);
    AddLogSwitches(sw, settings);
    AddIfSet(sw, "js-flags", settings.javascript_flags);
    if (!settings.resources_dir_path.isEmpty())
        env.variables.append(std::pair<QByteArray, QByteArray>{
            "QTWEBENGINE_RESOURCES_PATH", settings.resources_dir_path.toLocal8Bit()});
    if (!settings.locales_dir_path.isEmpty())
        env.variables.append(std::pair<QByteArray, QByteArray>{
            "QTWEBENGINE_LOCALES_PATH", settings.locales_dir_path.toLocal8Bit()});
    if (settings.remote_debugging_port > 0) {
        // Only this machine may attach to the debugging server, whatever
        // address the user gave.
        env.variables.append(
            {"QTWEBENGINE_REMOTE_DEBUGGING",
             QByteArray("127.0.0.1:") + QByteArray::number(settings.remote_debugging_port)});
    }
    if (settings.ignore_certificate_errors)
        sw << QStringLiteral("--ignore-certificate-errors");
    return env;
}

QStringList EngineSwitchesOf(const QStringList& commandLine) {
    QStringList switches;
    for (qsizetype i = 1; i < commandLine.size(); ++i) {
        const QString& arg = commandLine[i];
        if (arg.startsWith(QLatin1String("--")) && arg.size() > 2 && arg != "--webEngineArgs" &&
            !arg.startsWith(QLatin1String("--remote-debugging-address")))
            switches << arg;
    }
    return switches;
}

QStringList CommandLineOf(int argc, char** argv) {
    QStringList commandLine;
    for (int i = 0; i < argc; ++i)
        commandLine << QString::fromLocal8Bit(argv[i]);
    return commandLine;
}

int AskedDebuggingPort(const QStringList& commandLine, const QByteArray& variable) {
    const QLatin1String portSwitch("--remote-debugging-port=");
    QByteArray port = variable.mid(variable.lastIndexOf(':') + 1);
    for (const QString& arg : commandLine.mid(1))
        if (arg.startsWith(portSwitch))
            port = arg.mid(portSwitch.size()).toLatin1();
    bool number = false;
    const int value = port.toInt(&number);
    return number && value > 0 && value < 65536 ? value : 0;
}

}  // namespace app
