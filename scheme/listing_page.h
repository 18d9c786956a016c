#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "scheme/folder_entries.h"

namespace scheme {

// The listing page of a folder: the listing template, then the line
// <script>start("PATH");</script> and one line
// <script>addRow("NAME","TARGET",ISDIR,"SIZE","DATE");</script> per entry in
// the given order, each ended by CR LF. Every text is script-escaped, so the
// page is plain ASCII; TARGET is the percent-encoded name, which the template
// appends to the page's own address.
QByteArray ListingPage(const QString& folderPath, const std::vector<TFileInfo>& entries);

// The embedded listing template: a complete page whose functions start(),
// addRow() and createCell() build the table when the lines above run.
const QByteArray& ListingTemplate();

}  // namespace scheme
