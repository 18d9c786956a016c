#include "tests/support/fake_desktop.h"

#include <glib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

#include "tests/support/file_contents.h"

namespace test_support {

namespace {
const char* const kDesktopVariables[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME",       "XDG_DATA_DIRS",
                                         "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP", "BROWSER",
                                         "DISPLAY"};
}

FakeDesktop::FakeDesktop() {
    if (!root_.isValid())
        throw std::runtime_error("cannot make a desktop folder");
    for (const char* name : kDesktopVariables)
        saved_.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
    QDir root(root_.path());
    root.mkpath("config");
    root.mkpath("data/applications");
    root.mkpath("system");
    QFile::link("/usr/share/mime", root_.filePath("system/mime"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root_.filePath("config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root_.filePath("data")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(root_.filePath("system")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root_.filePath("system")));
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("BROWSER");
    // The desktop's opener asks the default handler only when there is a
    // display; the recording programs need none.
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("DISPLAY", ":99");
    // GLib reads the folders once, on their first use in the process.
    if (QFile::decodeName(g_get_user_config_dir()) != root_.filePath("config"))
        throw std::logic_error("GLib read another desktop first: one desktop per test process");
}

FakeDesktop::~FakeDesktop() {
    for (const Saved& s : saved_) {
        if (s.wasSet)
            qputenv(s.name, s.value);
        else
            qunsetenv(s.name);
    }
}

QString FakeDesktop::WriteRecordingProgram(const QString& relativePath) {
    const QString path = root_.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    const QByteArray record = QFile::encodeName(root_.filePath("arguments"));
    // Written beside and renamed, so a reader never sees half of the list.
    WriteFile(path, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + record + ".part\"\nmv \"" + record +
                        ".part\" \"" + record + "\"\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    return path;
}

void FakeDesktop::WriteEntry(const QString& name, const QString& exec) {
    WriteFile(root_.filePath("data/applications/" + name),
              ("[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec +
               "\n\n[Desktop Action other]\nExec=/bin/false\n")
                  .toUtf8());
}

void FakeDesktop::SetDefaults(const QString& lines) {
    WriteFile(root_.filePath("config/mimeapps.list"),
              ("[Default Applications]\n" + lines).toUtf8());
}

QString FakeDesktop::RecordedArguments() const {
    return QString::fromUtf8(ReadFile(root_.filePath("arguments"))).trimmed();
}

}  // namespace test_support
