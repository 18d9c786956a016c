#include "upgrader/replacement/replacer_launch.h"

#include <fcntl.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "common/executable_folder.h"
#include "upgrader/replacement/restart_params.h"
#include "upgrader/utils/close_application.h"
#include "upgrader/utils/resource_stream.h"
#include "upgrader/utils/temp_directory.h"

namespace upgrader {

namespace {

const QString kReplacerResource = QStringLiteral(":/replacer/Ruzozudo3");

}  // namespace

const QString& ReplacerPath() {
    static const QString path = GetTempDirectory() + QStringLiteral("Ruzozudo3");
    return path;
}

void DeleteReplacerFile() {
    QFile::remove(ReplacerPath());
}

bool WriteReplacer(const QString& Path) {
    QFile::remove(Path);
    // O_EXCL with O_NOFOLLOW: only a file created here and now is written,
    // never one (or a link) someone placed at the path meanwhile.
    const int descriptor = ::open(QFile::encodeName(Path).constData(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700);
    if (descriptor < 0)
        return false;
    QFile file;
    bool written = file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) &&
                   WriteResourceToStream(kReplacerResource, &file);
    written = file.flush() && written;
    file.close();
    if (!written)
        QFile::remove(Path);
    return written;
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
    replacer.setStandardInputFile(QProcess::nullDevice());
    replacer.setStandardOutputFile(QProcess::nullDevice());
    replacer.setStandardErrorFile(QProcess::nullDevice());
    return replacer.startDetached();
}

bool LaunchReplacer(const QString& Params) {
    return WriteReplacer(ReplacerPath()) &&
           StartReplacer(ReplacerPath(), common::ExecutablePath(), Params, QDir::currentPath());
}

bool RestartApplication(const QString& RestartParams, TacUpgradeMethod Method,
                        const std::function<void()>& CloseApp) {
    if (!LaunchReplacer(RestartParameter(RestartParams, Method)))
        return false;
    if (CloseApp)
        CloseApp();
    else
        CloseApplication();
    return true;
}

}  // namespace upgrader
