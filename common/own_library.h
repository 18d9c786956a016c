#pragma once

#include <QLibrary>
#include <QString>
#include <cstring>

#include "common/program_version.h"

namespace common {

// Loads a library of the program's own (functions bind on their first call,
// as for the libraries a program is linked with) and checks that its entry
// VersionEntry gives the program's version: half of one upgrade and half of
// another do not work together. False, with the reason, when the library is
// missing, broken or of another version. Header-only: the executable, which
// links Qt Core alone, uses it too.
inline bool LoadLibraryOfThisVersion(QLibrary& Library, const char* VersionEntry, QString& Reason) {
    using VersionFunction = const char* (*)();
    auto* version =
        Library.load() ? reinterpret_cast<VersionFunction>(Library.resolve(VersionEntry)) : nullptr;
    if (!version) {
        Reason = Library.errorString();
        return false;
    }
    if (std::strcmp(version(), kProgramVersion) == 0)
        return true;
    Reason = QStringLiteral("%1 is version %2, the program %3")
                 .arg(Library.fileName(), QLatin1String(version()), QLatin1String(kProgramVersion));
    return false;
}

}  // namespace common
