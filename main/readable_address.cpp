#include "main/readable_address.h"

#include <QUrl>
#include <algorithm>

namespace main_window {

namespace {

// Characters that would make the address read as another one (a right-to-left
// override turns "fdp.exe" round) or that do not show at all.
bool Misleads(QChar c) {
    switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return false;
    }
}

}  // namespace

QString ReadableAddress(const QString& encoded) {
    const QUrl url(encoded, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return encoded;
    const QString readable = url.toDisplayString();
    return std::any_of(readable.begin(), readable.end(), Misleads) ? encoded : readable;
}

}  // namespace main_window
