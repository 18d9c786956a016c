#include "app/engine_sub_process.h"

#include <QCoreApplication>
#include <QWebEngineUrlScheme>
#include <cfenv>
#include <cstring>

namespace QtWebEngineCore {
// The engine's sub-process entry, exported by libQt6WebEngineCore; Qt ships
// no header for it because only its own helper program calls it.
int processMain(int argc, const char** argv);
}  // namespace QtWebEngineCore

namespace app {

bool IsEngineSubProcess(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--type=", 7) == 0)
            return true;
    return false;
}

void RegisterCustomSchemes() {
    if (QWebEngineUrlScheme::schemeByName("local").name() == "local")
        return;
    QWebEngineUrlScheme scheme("local");
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void RunEngineSubProcess(int argc, char** argv) {
    // Pages and plug-ins must never trap on floating-point exceptions.
    fedisableexcept(FE_ALL_EXCEPT);
    RegisterCustomSchemes();
    // As in the engine's own helper program, a sub-process runs inside an
    // application object: Qt finds its resources and locales from it, where
    // it would otherwise warn and fall back to folders beside us.
    QCoreApplication subProcess(argc, argv);
    QtWebEngineCore::processMain(argc, const_cast<const char**>(argv));
}

}  // namespace app
