#include "common/desktop_open.h"

#include <QMimeDatabase>

#include "common/default_applications.h"
#include "common/desktop_entry.h"
#include "common/program_start.h"

namespace common {

namespace {

// The type of the name and the types it belongs to; "any data" says nothing
// about which program fits.
QStringList TypesOfFileName(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (type.isDefault())
        return {};
    QStringList types = QStringList{type.name()} + type.allAncestors();
    types.removeAll(QStringLiteral("application/octet-stream"));
    return types;
}

}  // namespace

bool OpenWithDefaultApplication(const QStringList& mimeTypes, const QString& target) {
    for (const QString& type : mimeTypes) {
        const QString entry = DefaultDesktopEntry(type);
        if (entry.isEmpty())
            continue;
        const std::optional<QStringList> arguments =
            ExecArguments(DesktopEntryExecLine(entry), target);
        if (arguments && StartDetachedProgram(*arguments))
            return true;
    }
    // Desktops with an opener of their own (GNOME, KDE) may know more.
    return StartDetachedProgram({QStringLiteral("xdg-open"), target});
}

bool OpenFileWithDefaultApplication(const QString& path) {
    return OpenWithDefaultApplication(TypesOfFileName(path), path);
}

}  // namespace common
