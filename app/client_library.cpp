#include "app/client_library.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <cstdio>

#include "app/browser_process.h"
#include "common/own_library.h"
#include "common/running_executable.h"

namespace app {

namespace {
int ReportUnusableLibrary(const QString& reason) {
    std::fprintf(stderr, "quorvane: %s\n", qUtf8Printable(reason));
    return 1;
}
}  // namespace

int RunBrowserProcessFromLibrary(int argc, char** argv) {
    // The executable's real folder, links resolved: the library is installed
    // beside the executable, not beside a link to it.
    const QString folder =
        QFileInfo(QFile::decodeName(common::RunningExecutablePath().c_str())).path();
    // Functions bind on their first call: binding all of them at once would
    // cost the start 3 ms. A set half of one upgrade and half of another does
    // not start (the replacer then puts the old set back). The library stays
    // loaded to the end of the process: its objects live until exit.
    QLibrary library(folder + u'/' + QLatin1String(kClientLibraryName));
    QString reason;
    if (!common::LoadLibraryOfThisVersion(library, kClientVersionName, reason))
        return ReportUnusableLibrary(reason);
    auto* entry = reinterpret_cast<decltype(&QuorvaneBrowserProcessMain)>(
        library.resolve(kBrowserProcessEntryName));
    if (!entry)
        return ReportUnusableLibrary(library.errorString());
    return entry(argc, argv);
}

}  // namespace app
