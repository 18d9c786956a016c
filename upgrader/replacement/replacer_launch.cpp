#include "upgrader/replacement/replacer_launch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/executable_folder.h"
#include "common/running_executable.h"
#include "upgrader/replacement/private_folder.h"
#include "upgrader/replacement/restart_params.h"
#include "upgrader/replacement/temp_files.h"
#include "upgrader/replacer/process_start.h"
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

// The replacer and its arguments once an upgrade is ready: it runs in this
// process when the program ends.
std::vector<std::string> pendingReplacer;

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

bool LaunchReplacer(const QString& Params, const QStringList& DownloadedFiles,
                    const QByteArray& Version) {
    const std::optional<QString> folder = CreateReplacerFolder();
    if (!folder)
        return false;
    const QString replacer = *folder + QLatin1StringView(replacer::kReplacerName);
    // A temporary folder mounted without execution fails here, while the
    // program is still open, not at its end.
    if (!WriteReplacer(replacer) ||
        !WriteReplacerManifest(*folder + QLatin1StringView(replacer::kManifestName),
                               DownloadedFiles) ||
        !WriteNewFile(*folder + QLatin1StringView(replacer::kVersionName), 0600,
                      [&](QFile& file) { return file.write(Version + '\n') > 0; }) ||
        ::access(QFile::encodeName(replacer).constData(), X_OK) != 0)
        return false;
    pendingReplacer = {QFile::encodeName(replacer).toStdString(),
                       QFile::encodeName(common::ExecutablePath()).toStdString(),
                       QFile::encodeName(u'+' + Params).toStdString()};
    return true;
}

void RunPendingReplacer(char** Argv, std::vector<std::string> Environment) {
    if (pendingReplacer.empty())
        return;
    replacer::ExecProgram(pendingReplacer.front(),
                          {pendingReplacer.begin() + 1, pendingReplacer.end()}, &Environment);
    std::perror("quorvane: cannot start the upgrade's replacer");
    // The program comes back as it was rather than leaving nothing running.
    replacer::ExecProgram(common::RunningExecutablePath(), replacer::ArgumentsAfterProgram(Argv),
                          &Environment);
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
