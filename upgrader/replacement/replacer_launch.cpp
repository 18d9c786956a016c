#include "upgrader/replacement/replacer_launch.h"

#include <fcntl.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "common/executable_folder.h"
#include "common/program_start.h"
#include "upgrader/replacement/private_folder.h"
#include "upgrader/replacement/restart_params.h"
#include "upgrader/replacement/temp_files.h"
#include "upgrader/replacer/replacer_files.h"
#include "upgrader/utils/close_application.h"
#include "upgrader/utils/resource_stream.h"

namespace upgrader {

namespace {

const QString kReplacerResource = QStringLiteral(":/replacer/Ruzozudo3");

// A new file only we may read, never one (or a link) someone placed at the
// path: O_EXCL with O_NOFOLLOW.
int CreatePrivateFile(const QString& Path, mode_t Mode) {
    return ::open(QFile::encodeName(Path).constData(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, Mode);
}

bool WriteNewFile(const QString& Path, mode_t Mode, const std::function<bool(QFile&)>& Write) {
    QFile::remove(Path);
    const int descriptor = CreatePrivateFile(Path, Mode);
    if (descriptor < 0)
        return false;
    QFile file;
    bool written =
        file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) && Write(file);
    written = file.flush() && written;
    file.close();
    if (!written)
        QFile::remove(Path);
    return written;
}

}  // namespace

bool WriteReplacer(const QString& Path) {
    return WriteNewFile(
        Path, 0700, [](QFile& file) { return WriteResourceToStream(kReplacerResource, &file); });
}

bool WriteReplacerManifest(const QString& Path, const QStringList& DownloadedFiles) {
    QByteArray names;
    for (const QString& file : DownloadedFiles) {
        if (!file.endsWith(kTempFileSuffix))
            return false;
        names +=
            QFile::encodeName(QFileInfo(file.chopped(kTempFileSuffix.size())).fileName()) + '\n';
    }
    return WriteNewFile(Path, 0600, [&](QFile& file) { return file.write(names) == names.size(); });
}

bool StartReplacer(const QString& ReplacerFile, const QString& ExecutablePath,
                   const QString& Params, const QString& WorkingFolder) {
    // The replacer and the program it restarts outlive us, and with us
    // whoever reads our output: they write to nothing rather than into a
    // closed pipe, which would end them.
    QProcess replacer;
    replacer.setProgram(ReplacerFile);
    replacer.setArguments({ExecutablePath, u'+' + Params});
    replacer.setWorkingDirectory(WorkingFolder);
    replacer.setProcessEnvironment(common::ChildEnvironment());
    replacer.setStandardInputFile(QProcess::nullDevice());
    replacer.setStandardOutputFile(QProcess::nullDevice());
    replacer.setStandardErrorFile(QProcess::nullDevice());
    return replacer.startDetached();
}

bool LaunchReplacer(const QString& Params, const QStringList& DownloadedFiles,
                    const QByteArray& Version) {
    const std::optional<QString> folder = CreateReplacerFolder();
    if (!folder)
        return false;
    const QString replacer = *folder + QLatin1StringView(replacer::kReplacerName);
    return WriteReplacer(replacer) &&
           WriteReplacerManifest(*folder + QLatin1StringView(replacer::kManifestName),
                                 DownloadedFiles) &&
           WriteNewFile(*folder + QLatin1StringView(replacer::kVersionName), 0600,
                        [&](QFile& file) { return file.write(Version + '\n') > 0; }) &&
           StartReplacer(replacer, common::ExecutablePath(), Params, QDir::currentPath());
}

bool RestartApplication(const QString& RestartParams, TacUpgradeMethod Method,
                        const QStringList& DownloadedFiles, const std::function<void()>& CloseApp,
                        const QByteArray& Version) {
    if (!LaunchReplacer(RestartParameter(RestartParams, Method), DownloadedFiles, Version))
        return false;
    if (CloseApp)
        CloseApp();
    else
        CloseApplication();
    return true;
}

}  // namespace upgrader
