#include "scheme/not_found_page.h"

namespace scheme {

QByteArray NotFoundPage(const QString& path) {
    QByteArray page(
        "<html><head><meta http-equiv=\"content-type\" content=\"text/html; "
        "charset=UTF-8\"/></head><body><h1>");
    page += path.toHtmlEscaped().toUtf8();
    page += "</h1><h2>not found</h2></body></html>";
    return page;
}

}  // namespace scheme
