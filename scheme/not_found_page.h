#pragma once

#include <QByteArray>
#include <QString>

namespace scheme {

// The page answered for an address that names nothing that can be served: the
// path as the heading and the words "not found" below it, in UTF-8. The path
// is HTML-escaped, so a name such as "<script>" shows as text and never runs.
QByteArray NotFoundPage(const QString& path);

}  // namespace scheme
