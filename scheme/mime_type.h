#pragma once

#include <QString>

namespace scheme {

// The extension of a path: from the last "." of its last part, with the ".";
// empty when the last part has no ".".
QString FileExtension(const QString& path);

// The content type the system's MIME database registers for a file name
// (shared-mime-info, by name only: the file is never read); empty when the
// name matches no registered pattern.
QString RegisteredMimeType(const QString& fileName);

// The type a file is served with: the registered type wins; an unregistered
// ".pdf" (in any case) is "application/pdf"; anything else
// "application/octet-stream".
QString ResponseMimeType(const QString& registeredType, const QString& extension);

}  // namespace scheme
