#include "main/home_host_rewrite.h"

#include <QUrl>

namespace main_window {

std::optional<QString> RewriteHomeHost(const QString& url, const QString& searchHost) {
    QUrl parts(url, QUrl::StrictMode);
    if (!parts.isValid() || parts.host() != QLatin1String("home"))
        return std::nullopt;
    parts.setHost(searchHost, QUrl::StrictMode);
    if (!parts.isValid())
        return QString();
    return parts.toString(QUrl::FullyEncoded);
}

}  // namespace main_window
