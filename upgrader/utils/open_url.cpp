#include "upgrader/utils/open_url.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "upgrader/utils/command_line.h"

namespace upgrader {

namespace {

constexpr int kQueryTimeoutMs = 5000;

// The MIME types whose default handler opens files with the extension; for
// web pages the default web browser (the handler of http addresses) comes first.
QStringList HandlerTypesFor(const QString& ext) {
    QStringList types;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("file") + ext,
                                                           QMimeDatabase::MatchExtension);
    if (type.inherits(QStringLiteral("text/html")))
        types << QStringLiteral("x-scheme-handler/http");
    if (!type.isDefault())
        types << type.name();
    return types;
}

// The desktop entry registered as default for the MIME type ("firefox.desktop").
QString DefaultDesktopEntry(const QString& mimeType) {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    return QString::fromUtf8(query.readAllStandardOutput())
        .trimmed()
        .section(u'\n', 0, 0)
        .trimmed();
}

// The Exec line of the entry's [Desktop Entry] group. Entry ids with "-" may
// also live in a sub-folder ("kde4-app.desktop" as "kde4/app.desktop").
QString ExecLineOf(const QString& entryId) {
    QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entryId);
    if (path.isEmpty() && entryId.contains(u'-'))
        path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
                                      QString(entryId).replace(entryId.indexOf(u'-'), 1, u'/'));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'['))
            inMainGroup = line == u"[Desktop Entry]";
        else if (inMainGroup && line.startsWith(u"Exec="))
            return line.mid(5);
    }
    return {};
}

// The program as an executable path: found on PATH when named bare.
QString InstalledProgram(const QString& program) {
    if (program.isEmpty())
        return {};
    if (!program.contains(u'/'))
        return QStandardPaths::findExecutable(program);
    const QFileInfo info(program);
    return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
}

QString WithScheme(const QString& url) {
    return url.contains(u"://") ? url : QStringLiteral("http://") + url;
}

}  // namespace

QString GetAssociatedProgram(const QString& Ext) {
    if (Ext.isEmpty() || Ext == u".")
        return {};
    for (const QString& type : HandlerTypesFor(Ext)) {
        const QString entry = DefaultDesktopEntry(type);
        if (entry.isEmpty())
            continue;
        QString command = ExecLineOf(entry);
        QString parameters;
        SplitCommandLine(command, parameters);
        if (const QString program = InstalledProgram(command); !program.isEmpty())
            return program;
    }
    return {};
}

void OpenURL(const QString& URL, bool UseBrowser) {
    const QString url = WithScheme(URL);
    if (UseBrowser) {
        const QString browser = GetAssociatedProgram(QStringLiteral(".html"));
        if (!browser.isEmpty() && QProcess::startDetached(browser, {url}))
            return;
    }
    // Platforms without desktop services of their own (offscreen) leave it
    // to the desktop's opener.
    if (!QDesktopServices::openUrl(QUrl(url)))
        QProcess::startDetached(QStringLiteral("xdg-open"), {url});
}

}  // namespace upgrader
