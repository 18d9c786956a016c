#include "upgrader/utils/open_url.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

#include "common/default_applications.h"
#include "common/program_start.h"
#include "upgrader/utils/command_line.h"
#include "upgrader/utils/curl_url.h"

namespace upgrader {

namespace {

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

// The program as an executable path: found on PATH when named bare.
QString InstalledProgram(const QString& program) {
    if (program.isEmpty())
        return {};
    if (!program.contains(u'/'))
        return QStandardPaths::findExecutable(program);
    const QFileInfo info(program);
    return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
}

}  // namespace

QString GetAssociatedProgram(const QString& Ext) {
    if (Ext.isEmpty() || Ext == u".")
        return {};
    for (const QString& type : HandlerTypesFor(Ext)) {
        QString command = common::DefaultApplicationCommandLine(type);
        QString parameters;
        SplitCommandLine(command, parameters);
        if (const QString program = InstalledProgram(command); !program.isEmpty())
            return program;
    }
    return {};
}

void OpenURL(const QString& URL, bool UseBrowser) {
    const QString url = WithHttpScheme(URL);
    if (UseBrowser) {
        const QString browser = GetAssociatedProgram(QStringLiteral(".html"));
        if (!browser.isEmpty() && common::StartDetachedProgram({browser, url}))
            return;
    }
    const QString schemeHandler = QStringLiteral("x-scheme-handler/") + QUrl(url).scheme();
    common::OpenWithDefaultApplication({schemeHandler}, url);
}

}  // namespace upgrader
