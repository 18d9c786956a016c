#include "app/engine.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <cfenv>

#include "app/engine_files.h"
#include "app/engine_settings.h"
#include "app/engine_sub_process.h"
#include "app/engine_switches.h"
#include "common/executable_folder.h"

namespace app {

namespace {
bool engineLoaded = false;

QByteArrayList BrowserProcessArguments(int argc, char** argv, const EngineEnvironment& env,
                                       const EngineSettings& settings) {
    QByteArrayList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    QStringList switches = env.switches;
    if (!settings.command_line_args_disabled)
        switches << EngineSwitchesOf(CommandLineOf(argc, argv));
    arguments << QByteArray("--webEngineArgs");
    for (const QString& engineSwitch : switches)
        arguments << engineSwitch.toLocal8Bit();
    return arguments;
}
}  // namespace

void ApplicationArguments::assign(const QByteArrayList& arguments) {
    storage_ = arguments;
    pointers_.clear();
    for (QByteArray& argument : storage_)
        pointers_.push_back(argument.data());
    argc_ = static_cast<int>(storage_.size());
    pointers_.push_back(nullptr);
}

bool LoadEngine(int argc, char** argv, ApplicationArguments& applicationArguments) {
    if (engineLoaded)
        return true;
    // As in the program's own entry: a sub-process goes straight to the
    // engine's sub-process entry.
    if (IsEngineSubProcess(argc, argv)) {
        RunEngineSubProcess(argc, argv);
        return false;
    }
    // Pages and plug-ins must never trap on floating-point exceptions.
    fedisableexcept(FE_ALL_EXCEPT);
    EngineSettings& settings = GlobalEngineSettings();
    CheckEngineFiles(settings);
    engineLoaded = true;
    RegisterCustomSchemes();
    const EngineEnvironment env = MapEngineSettings(settings, common::ExecutablePath());
    // The user's own value is replaced by what the settings make of it.
    qunsetenv("QTWEBENGINE_REMOTE_DEBUGGING");
    for (const auto& [name, value] : env.variables)
        qputenv(name.constData(), value);
    applicationArguments.assign(BrowserProcessArguments(argc, argv, env, settings));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    return true;
}

void RegisterSchemeHandlerFactory(QWebEngineUrlSchemeHandler* handler) {
    QWebEngineProfile::defaultProfile()->installUrlSchemeHandler("local", handler);
}

}  // namespace app
