#include "app/engine_files.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <cerrno>
#include <cstring>

namespace app {

EOSError::EOSError(int code, const QString& reason)
    : std::runtime_error(
          QStringLiteral("System Error.  Code: %1.\r\n%2").arg(code).arg(reason).toStdString()),
      code_(code) {}

EEngineVersionError::EEngineVersionError() : std::runtime_error("Invalid CEF Library version") {}

namespace {

QString FromEnvironmentOr(const QString& setting, const char* variable, const QString& fallback) {
    if (!setting.isEmpty())
        return setting;
    const QString fromEnvironment = qEnvironmentVariable(variable);
    return fromEnvironment.isEmpty() ? fallback : fromEnvironment;
}

void RequireFile(const QString& path) {
    if (QFileInfo(path).isFile())
        return;
    throw EOSError(ENOENT, QString::fromLocal8Bit(std::strerror(ENOENT)) + ": " + path);
}

}  // namespace

QString EngineResourcesFolder(const EngineSettings& settings) {
    return FromEnvironmentOr(settings.resources_dir_path, "QTWEBENGINE_RESOURCES_PATH",
                             QLibraryInfo::path(QLibraryInfo::DataPath) + "/resources");
}

QString EngineLocalesFolder(const EngineSettings& settings) {
    return FromEnvironmentOr(
        settings.locales_dir_path, "QTWEBENGINE_LOCALES_PATH",
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtwebengine_locales");
}

void CheckEngineFiles(const EngineSettings& settings) {
    const QString resources = EngineResourcesFolder(settings);
    RequireFile(resources + "/qtwebengine_resources.pak");
    const QString locales = EngineLocalesFolder(settings);
    if (!QFileInfo(locales).isDir())
        throw EOSError(ENOENT, QString::fromLocal8Bit(std::strerror(ENOENT)) + ": " + locales);
    // The packs are there but the engine would still fail on the rest of them.
    if (!QFileInfo(resources + "/qtwebengine_devtools_resources.pak").isFile() ||
        QDir(locales).entryList({"*.pak"}, QDir::Files).isEmpty())
        throw EEngineVersionError();
}

}  // namespace app
