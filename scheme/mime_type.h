#pragma once

#include <QIODevice>
#include <QString>

namespace scheme {

// The extension of a path: from the last "." of its last part, with the ".";
// empty when the last part has no ".".
QString FileExtension(const QString& path);

// The content type the system's MIME database registers for a file
// extension (".txt"; shared-mime-info, by extension only: neither the rest of
// the name nor the file is looked at); empty when none is registered.
QString RegisteredMimeType(const QString& extension);

// Whether the file's first megabyte is valid UTF-8 (a character cut at its
// end counts as valid). The file is read from its start and put back there.
bool StartsAsUtf8(QIODevice& file);

// The type a file is served with: the registered type wins; an unregistered
// ".pdf" (in any case) is "application/pdf"; anything else
// "application/octet-stream".
QString ResponseMimeType(const QString& registeredType, const QString& extension);

}  // namespace scheme
