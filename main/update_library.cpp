#include "main/update_library.h"

#include <QLibrary>
#include <QTimer>
#include <memory>

#include "common/executable_folder.h"
#include "common/own_library.h"
#include "common/start_environment.h"
#include "main/update_library_entry.h"

namespace main_window {

namespace {

// Kept to the end of the process: the upgrader, its threads and the replacer
// it readies live until exit.
QLibrary* loaded = nullptr;

template <typename Entry>
Entry* Resolve(QLibrary& Library, const char* Name) {
    return reinterpret_cast<Entry*>(Library.resolve(Name));
}

// The first update check comes this long (ms) after the program starts.
constexpr int kFirstUpdateCheckDelay = 10000;

void MakeAutoUpgrader(QObject* Window) {
    QString reason;
    if (!LoadUpdateLibrary(reason)) {
        qWarning("Updates are off: %s", qUtf8Printable(reason));
        return;
    }
    auto* create = Resolve<decltype(QuorvaneCreateAutoUpgrader)>(*loaded, kCreateAutoUpgraderName);
    if (!create)
        qWarning("Updates are off: %s", qUtf8Printable(loaded->errorString()));
    else
        create(Window);
}

}  // namespace

void ArrangeAutoUpgrader(QObject* Window) {
    QTimer::singleShot(kFirstUpdateCheckDelay, Window, [Window] { MakeAutoUpgrader(Window); });
}

bool LoadUpdateLibrary(QString& Reason) {
    if (loaded)
        return true;
    auto library = std::make_unique<QLibrary>(common::ExecutableFolder() +
                                              QLatin1StringView(kUpdateLibraryName));
    library->setLoadHints(QLibrary::PreventUnloadHint);
    if (!common::LoadLibraryOfThisVersion(*library, kUpdateLibraryVersionName, Reason))
        return false;
    loaded = library.release();
    return true;
}

void RunPendingReplacer(char** Argv) {
    if (!loaded)
        return;
    const std::vector<std::string> environment = common::StartEnvironment();
    if (auto* run = Resolve<decltype(QuorvaneRunPendingReplacer)>(*loaded, kRunPendingReplacerName))
        run(Argv, &environment);
}

}  // namespace main_window
