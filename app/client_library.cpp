#include "app/client_library.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <cstdio>
#include <cstring>

#include "app/browser_process.h"
#include "common/program_version.h"
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
    // Functions bind on their first call, as for the libraries a program is
    // linked with: binding all of them at once would cost the start 3 ms.
    QLibrary library(folder + u'/' + QLatin1String(kClientLibraryName));
    if (!library.load())
        return ReportUnusableLibrary(library.errorString());
    // The library stays loaded to the end of the process: its objects live
    // until exit.
    auto* entry = reinterpret_cast<decltype(&QuorvaneBrowserProcessMain)>(
        library.resolve(kBrowserProcessEntryName));
    auto* version =
        reinterpret_cast<decltype(&QuorvaneClientVersion)>(library.resolve(kClientVersionName));
    if (!entry || !version)
        return ReportUnusableLibrary(library.errorString());
    // A set half of one upgrade and half of another does not start (the
    // replacer then puts the old set back).
    if (std::strcmp(version(), common::kProgramVersion) != 0)
        return ReportUnusableLibrary(QStringLiteral("%1 is version %2, the program %3")
                                         .arg(library.fileName(), QLatin1String(version()),
                                              QLatin1String(common::kProgramVersion)));
    return entry(argc, argv);
}

}  // namespace app
