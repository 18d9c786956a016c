#include "app/client_library.h"

#include <QFileInfo>
#include <QLibrary>
#include <cstdio>

#include "app/browser_process.h"

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
    const QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    // Functions bind on their first call, as for the libraries a program is
    // linked with: binding all of them at once would cost the start 3 ms.
    QLibrary library(folder + u'/' + QLatin1String(kClientLibraryName));
    if (!library.load())
        return ReportUnusableLibrary(library.errorString());
    // The library stays loaded to the end of the process: its objects live
    // until exit.
    auto* entry = reinterpret_cast<decltype(&QuorvaneBrowserProcessMain)>(
        library.resolve(kBrowserProcessEntryName));
    if (!entry)
        return ReportUnusableLibrary(library.errorString());
    return entry(argc, argv);
}

}  // namespace app
