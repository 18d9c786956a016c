#include "common/default_applications.h"

// GIO's headers name a structure member "signals", which Qt defines as a macro.
#undef signals
#include <gio/gio.h>

#include <QFile>
#include <QProcessEnvironment>
#include <QUrl>
#include <memory>

#include "common/program_start.h"

namespace common {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename Object>
using GObjectPtr = std::unique_ptr<Object, GObjectUnref>;

GObjectPtr<GAppInfo> DefaultApplication(const QString& mimeType) {
    return GObjectPtr<GAppInfo>(
        g_app_info_get_default_for_type(mimeType.toUtf8().constData(), FALSE));
}

// Launches with this process's environment less what the child environment
// leaves out.
GObjectPtr<GAppLaunchContext> ChildLaunchContext() {
    GObjectPtr<GAppLaunchContext> context(g_app_launch_context_new());
    const QProcessEnvironment child = ChildEnvironment();
    for (const QString& name : QProcessEnvironment::systemEnvironment().keys())
        if (!child.contains(name))
            g_app_launch_context_unsetenv(context.get(), name.toUtf8().constData());
    return context;
}

bool Launch(GAppInfo* application, const QString& target) {
    QByteArray uri =
        target.startsWith(u'/') ? QUrl::fromLocalFile(target).toEncoded() : target.toUtf8();
    GList uris{uri.data(), nullptr, nullptr};
    return g_app_info_launch_uris(application, &uris, ChildLaunchContext().get(), nullptr);
}

}  // namespace

QString DefaultApplicationCommandLine(const QString& mimeType) {
    const GObjectPtr<GAppInfo> application = DefaultApplication(mimeType);
    return application ? QString::fromLocal8Bit(g_app_info_get_commandline(application.get()))
                       : QString();
}

bool OpenWithDefaultApplication(const QStringList& mimeTypes, const QString& target) {
    for (const QString& type : mimeTypes)
        if (const GObjectPtr<GAppInfo> application = DefaultApplication(type);
            application && Launch(application.get(), target))
            return true;
    // Desktops with an opener of their own (KDE) may know more.
    return StartDetachedProgram({QStringLiteral("xdg-open"), target});
}

bool OpenFileWithDefaultApplication(const QString& path) {
    gboolean uncertain = FALSE;
    const std::unique_ptr<gchar, decltype(&g_free)> type(
        g_content_type_guess(QFile::encodeName(path).constData(), nullptr, 0, &uncertain), g_free);
    // A name that says nothing ("any data") says nothing about which program fits.
    if (uncertain)
        return OpenWithDefaultApplication({}, path);
    return OpenWithDefaultApplication({QString::fromUtf8(type.get())}, path);
}

}  // namespace common
