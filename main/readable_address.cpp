#include "main/readable_address.h"

#include <QUrl>

namespace main_window {

QString ReadableAddress(const QString& encoded) {
    const QUrl url(encoded, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return encoded;
    return url.toDisplayString();
}

}  // namespace main_window
