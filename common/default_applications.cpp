#include "common/default_applications.h"

#include <QStandardPaths>
#include <QStringList>

#include "common/desktop_entry.h"

namespace common {

namespace {

// "gnome-mimeapps.list" before "mimeapps.list" for XDG_CURRENT_DESKTOP=GNOME.
QStringList ListNames() {
    QStringList names;
    for (const QString& desktop :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts))
        names << desktop.toLower() + QStringLiteral("-mimeapps.list");
    return names << QStringLiteral("mimeapps.list");
}

// The user's and the system's lists, most important first: configuration
// folders, then (deprecated, still read by desktops) application folders.
QStringList ListFiles() {
    QStringList files;
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        for (const QString& name : ListNames())
            files << folder + u'/' + name;
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        for (const QString& name : ListNames())
            files << folder + u'/' + name;
    return files;
}

QStringList LegacyFiles() {
    QStringList files;
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        files << folder + QStringLiteral("/defaults.list")
              << folder + QStringLiteral("/mimeinfo.cache");
    return files;
}

// The entries a group of the file lists for the type ("a.desktop;b.desktop;").
QStringList EntriesInGroup(const QString& path, const QString& group, const QString& mimeType) {
    return ValueInGroup(path, group, mimeType).value_or(QString()).split(u';', Qt::SkipEmptyParts);
}

QString FirstInstalled(const QStringList& entries) {
    for (const QString& entry : entries) {
        const QString id = entry.trimmed();
        if (id.endsWith(u".desktop") && !id.contains(u'/') && !DesktopEntryExecLine(id).isEmpty())
            return id;
    }
    return {};
}

}  // namespace

QString DefaultDesktopEntry(const QString& mimeType) {
    for (const QString& file : ListFiles())
        if (QString entry = FirstInstalled(
                EntriesInGroup(file, QStringLiteral("[Default Applications]"), mimeType));
            !entry.isEmpty())
            return entry;
    for (const QString& file : LegacyFiles())
        if (QString entry = FirstInstalled(
                EntriesInGroup(file, QStringLiteral("[Default Applications]"), mimeType) +
                EntriesInGroup(file, QStringLiteral("[MIME Cache]"), mimeType));
            !entry.isEmpty())
            return entry;
    return {};
}

}  // namespace common
